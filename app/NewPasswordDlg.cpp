#include "app/NewPasswordDlg.h"

#include <QGroupBox>

#include "app/PasswordDlg.h"
#include "base/AnsiText.h"
#include "base/Controls.h"
#include "base/MessageDlg.h"
#include "base/Settings.h"
#include "base/core/OptionsFile.h"

namespace proctorium {

TNewPasswordDlg* NewPasswordDlg = nullptr;

TNewPasswordDlg::TNewPasswordDlg(QWidget* parent) : TForm(parent) {
  setObjectName(QStringLiteral("NewPasswordDlg"));
  setWindowTitle(QStringLiteral("Change Administrator Password"));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  setFixedSize(310, 130);
  SetWindowHelpPage(this, "start.htm");
  auto* group = new QGroupBox(QStringLiteral(" New Password"), this);
  group->setObjectName(QStringLiteral("GroupBox1"));
  group->setGeometry(8, 8, 225, 114);
  MakeLabel(group, "Label1", QStringLiteral("Enter password:"), {12, 22});
  NewPassword = MakeEdit(group, "NewPassword", QString(), {12, 38, 200, 21});
  NewPassword->setEchoMode(QLineEdit::Password);
  MakeLabel(group, "Label2", QStringLiteral("Confirm password:"), {12, 64});
  ConfirmPassword = MakeEdit(group, "ConfirmPassword", QString(), {12, 80, 200, 21});
  ConfirmPassword->setEchoMode(QLineEdit::Password);
  btnOk = MakeAutoDefaultButton(this, "btnOk", QStringLiteral("OK"), QString(), {244, 74, 58, 22});
  btnOk->setDefault(true);
  btnCancel = MakeAutoDefaultButton(this, "btnCancel", QStringLiteral("Cancel"), QString(), {244, 98, 58, 22});
  connect(btnOk, &QPushButton::clicked, this, [this] { btnOkClick(); });
  connect(btnCancel, &QPushButton::clicked, this, [this] { done(mrCancel); });
}

void TNewPasswordDlg::FormShow() {
  SetShowHint(Settings().ShowHints());
  GrowFixedDialog(this, Settings().FontSize());
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
  // Stored first: a password that only lives in memory would be gone at the
  // next start, so success is told only once the file holds it.
  const std::string old = PasswordDlg->AdminPassword();
  PasswordDlg->SetAdminPassword(Scramble(UpperAscii(ToAnsi(NewPassword->text()))));
  if (!Guarded([] { SaveSettings(); })) {
    PasswordDlg->SetAdminPassword(old);
    return;
  }
  MessageDlg(QStringLiteral("Password changed"), TMsgDlgType::Information, mbOK);
  done(mrOk);
}

void TNewPasswordDlg::reject() { done(mrCancel); }

}  // namespace proctorium
