#include "app/PasswordDlg.h"

#include "base/AnsiText.h"
#include "base/Controls.h"
#include "base/MessageDlg.h"
#include "base/Settings.h"
#include "base/core/OptionsFile.h"

namespace proctorium {

TPasswordDlg* PasswordDlg = nullptr;

TPasswordDlg::TPasswordDlg(QWidget* parent) : TForm(parent) {
  setObjectName(QStringLiteral("PasswordDlg"));
  setWindowTitle(QStringLiteral("Administrator Options"));
  QFont f = font();
  f.setBold(true);
  setFont(f);
  SetFixedDialogFrame(this);
  setFixedSize(236, 86);
  SetWindowHelpPage(this, "start.htm");
  QLabel* prompt = MakeLabel(this, "Label1", QStringLiteral("Enter password:"), {8, 6});
  EditPassword = MakeEdit(this, "EditPassword", QString(), {8, 24, 220, 21});
  EditPassword->setAccessibleName(QStringLiteral("Administrator password"));
  prompt->setBuddy(EditPassword);
  EditPassword->setEchoMode(QLineEdit::Password);
  btnOk = MakeAutoDefaultButton(this, "btnOk", QStringLiteral("OK"), QStringLiteral("Try the password entered"),
                                {38, 56, 75, 22});
  btnOk->setDefault(true);
  btnCancel = MakeAutoDefaultButton(this, "btnCancel", QStringLiteral("Cancel"),
                                    QStringLiteral("Abort dialog, return to main window"), {122, 56, 75, 22});
  connect(btnOk, &QPushButton::clicked, this, [this] { btnOkClick(); });
  connect(btnCancel, &QPushButton::clicked, this, [this] { done(mrCancel); });
}

void TPasswordDlg::FormShow() {
  SetShowHint(Settings().ShowHints());
  GrowFixedDialog(this, Settings().FontSize());
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
