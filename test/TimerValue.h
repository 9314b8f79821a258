#pragma once
// The countdown minutes dialog; its box holds the CountdownMinutes setting.

#include <QLineEdit>
#include <QPushButton>

#include "app/Form.h"

namespace proctorium {

class TTimerValue : public TForm {
  Q_OBJECT
 public:
  explicit TTimerValue(QWidget* parent = nullptr);

  QLineEdit* edTimeLimit;
  QPushButton* btnOk;
  QPushButton* btnCancel;

  // The minutes the box holds, or the last valid value when it holds
  // something else.
  int Minutes() const;
};

extern TTimerValue* TimerValue;

}  // namespace proctorium
