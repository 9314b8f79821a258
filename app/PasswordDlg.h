#pragma once
// The administrator password prompt. It holds the stored password, which is
// only ever kept scrambled.

#include <QLineEdit>
#include <QPushButton>
#include <string>

#include "base/Form.h"

namespace proctorium {

class TPasswordDlg : public TForm {
  Q_OBJECT
 public:
  explicit TPasswordDlg(QWidget* parent = nullptr);

  QLineEdit* EditPassword;
  QPushButton* btnOk;
  QPushButton* btnCancel;

  // Scramble of the upper-cased password.
  const std::string& AdminPassword() const { return AdminPassword_; }
  void SetAdminPassword(const std::string& scrambled) { AdminPassword_ = scrambled; }

  void btnOkClick();

 protected:
  void FormShow() override;
  // The title bar's close button and Escape answer Cancel.
  void reject() override;

 private:
  std::string AdminPassword_;
};

extern TPasswordDlg* PasswordDlg;

}  // namespace proctorium
