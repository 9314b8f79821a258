#include "test/TimerValue.h"

namespace proctorium {

TTimerValue* TimerValue = nullptr;

TTimerValue::TTimerValue(QWidget* parent) : TForm(parent) {
  setObjectName(QStringLiteral("TimerValue"));
  setWindowTitle(QStringLiteral("Countdown Time"));
  resize(210, 136);
  edTimeLimit = new QLineEdit(QStringLiteral("60"), this);
  edTimeLimit->setObjectName(QStringLiteral("edTimeLimit"));
  btnOk = new QPushButton(QStringLiteral("OK"), this);
  btnOk->setObjectName(QStringLiteral("btnOk"));
  btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
  btnCancel->setObjectName(QStringLiteral("btnCancel"));
}

int TTimerValue::Minutes() const {
  bool ok = false;
  int m = edTimeLimit->text().trimmed().toInt(&ok);
  return ok ? m : 60;
}

}  // namespace proctorium
