#pragma once
// The countdown minutes dialog; its box holds the CountdownMinutes setting.

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "base/Form.h"

namespace proctorium {

class TTimerValue : public TForm {
  Q_OBJECT
 public:
  explicit TTimerValue(QWidget* parent = nullptr);

  // The longest limit the dialog accepts: a whole day.
  static constexpr int MaxMinutes = 1440;

  QLabel* Label1;
  QLineEdit* edTimeLimit;
  QPushButton* btnOk;
  QPushButton* btnCancel;

  // The whole number in the box; the last accepted limit when the box holds
  // something that is not a whole number.
  int Minutes() const;
  // True when text is a whole number of minutes the dialog accepts.
  static bool ValidLimit(const QString& text, int* minutes = nullptr);

  void btnOkClick();
  void btnCancelClick();

 protected:
  void FormShow() override;
  // Esc and the title bar cancel as the Cancel button does.
  void reject() override { btnCancelClick(); }

 private:
  int LastValid_ = 60;
};

extern TTimerValue* TimerValue;

}  // namespace proctorium
