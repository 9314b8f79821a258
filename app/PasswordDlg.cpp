#include "app/PasswordDlg.h"

#include <QLabel>

#include "app/AnsiText.h"
#include "app/MessageDlg.h"
#include "app/StartForm.h"
#include "app/core/OptionsFile.h"

namespace proctorium {

TPasswordDlg* PasswordDlg = nullptr;

TPasswordDlg::TPasswordDlg(QWidget* parent) : TForm(parent) {
  setObjectName(QStringLiteral("PasswordDlg"));
  setWindowTitle(QStringLiteral("Adminstrator Options"));
  QFont f = font();
  f.setBold(true);
  setFont(f);
  setFixedSize(236, 86);
  auto* label = new QLabel(QStringLiteral("Enter password:"), this);
  label->setObjectName(QStringLiteral("Label1"));
  label->move(8, 6);
  EditPassword = new QLineEdit(this);
  EditPassword->setObjectName(QStringLiteral("EditPassword"));
  EditPassword->setEchoMode(QLineEdit::Password);
  EditPassword->setGeometry(8, 24, 220, 21);
  btnOk = new QPushButton(QStringLiteral("OK"), this);
  btnOk->setObjectName(QStringLiteral("btnOk"));
  btnOk->setToolTip(QStringLiteral("Try the password entered"));
  btnOk->setGeometry(38, 56, 75, 22);
  btnOk->setDefault(true);
  btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
  btnCancel->setObjectName(QStringLiteral("btnCancel"));
  btnCancel->setToolTip(QStringLiteral("Abort dialog, return to main window"));
  btnCancel->setGeometry(122, 56, 75, 22);
  connect(btnOk, &QPushButton::clicked, this, [this] { btnOkClick(); });
  connect(btnCancel, &QPushButton::clicked, this, [this] { done(mrCancel); });
}

void TPasswordDlg::FormShow() {
  SetShowHint(StartForm->ShowHint());
  EditPassword->clear();
  EditPassword->setFocus();
}

void TPasswordDlg::btnOkClick() {
  if (Scramble(UpperAscii(ToAnsi(EditPassword->text()))) == AdminPassword_) {
    done(mrOk);
    return;
  }
  MessageDlg(QStringLiteral("Password incorrect"), TMsgDlgType::Warning, mbOK);
  EditPassword->setFocus();
  EditPassword->selectAll();
}

void TPasswordDlg::reject() { done(mrCancel); }

}  // namespace proctorium
