#pragma once
// Change-password dialog: a new password typed twice.

#include <QLineEdit>
#include <QPushButton>

#include "base/Form.h"

namespace proctorium {

class TNewPasswordDlg : public TForm {
  Q_OBJECT
 public:
  explicit TNewPasswordDlg(QWidget* parent = nullptr);

  QLineEdit* NewPassword;
  QLineEdit* ConfirmPassword;
  QPushButton* btnOk;
  QPushButton* btnCancel;

  void btnOkClick();

 protected:
  void FormShow() override;
  // The title bar's close button and Escape answer Cancel.
  void reject() override;
};

extern TNewPasswordDlg* NewPasswordDlg;

}  // namespace proctorium
