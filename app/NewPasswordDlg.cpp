#include "app/NewPasswordDlg.h"

#include <QGroupBox>
#include <QLabel>

#include "app/AnsiText.h"
#include "app/MessageDlg.h"
#include "app/PasswordDlg.h"
#include "app/StartForm.h"
#include "app/core/OptionsFile.h"

namespace proctorium {

TNewPasswordDlg* NewPasswordDlg = nullptr;

TNewPasswordDlg::TNewPasswordDlg(QWidget* parent) : TForm(parent) {
  setObjectName(QStringLiteral("NewPasswordDlg"));
  setWindowTitle(QStringLiteral("Change Administrator Password"));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  setFixedSize(310, 130);
  auto* group = new QGroupBox(QStringLiteral(" New Password"), this);
  group->setObjectName(QStringLiteral("GroupBox1"));
  group->setGeometry(8, 8, 225, 114);
  auto* l1 = new QLabel(QStringLiteral("Enter password:"), group);
  l1->setObjectName(QStringLiteral("Label1"));
  l1->move(12, 22);
  NewPassword = new QLineEdit(group);
  NewPassword->setObjectName(QStringLiteral("NewPassword"));
  NewPassword->setEchoMode(QLineEdit::Password);
  NewPassword->setGeometry(12, 38, 200, 21);
  auto* l2 = new QLabel(QStringLiteral("Confirm password:"), group);
  l2->setObjectName(QStringLiteral("Label2"));
  l2->move(12, 64);
  ConfirmPassword = new QLineEdit(group);
  ConfirmPassword->setObjectName(QStringLiteral("ConfirmPassword"));
  ConfirmPassword->setEchoMode(QLineEdit::Password);
  ConfirmPassword->setGeometry(12, 80, 200, 21);
  btnOk = new QPushButton(QStringLiteral("OK"), this);
  btnOk->setObjectName(QStringLiteral("btnOk"));
  btnOk->setGeometry(244, 74, 58, 22);
  btnOk->setDefault(true);
  btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
  btnCancel->setObjectName(QStringLiteral("btnCancel"));
  btnCancel->setGeometry(244, 98, 58, 22);
  connect(btnOk, &QPushButton::clicked, this, [this] { btnOkClick(); });
  connect(btnCancel, &QPushButton::clicked, this, [this] { done(mrCancel); });
}

void TNewPasswordDlg::FormShow() {
  SetShowHint(StartForm->ShowHint());
  NewPassword->clear();
  ConfirmPassword->clear();
  NewPassword->setFocus();
}

void TNewPasswordDlg::btnOkClick() {
  if (NewPassword->text() != ConfirmPassword->text()) {
    MessageDlg(QStringLiteral("New password and confirmation differ"), TMsgDlgType::Warning, mbOK);
    NewPassword->clear();
    ConfirmPassword->clear();
    NewPassword->setFocus();
    return;
  }
  PasswordDlg->SetAdminPassword(Scramble(UpperAscii(ToAnsi(NewPassword->text()))));
  MessageDlg(QStringLiteral("Password changed"), TMsgDlgType::Information, mbOK);
  done(mrOk);
}

void TNewPasswordDlg::reject() { done(mrCancel); }

}  // namespace proctorium
