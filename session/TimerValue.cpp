#include "session/TimerValue.h"

#include <QFontMetrics>
#include <algorithm>

#include "app/MessageDlg.h"
#include "app/Settings.h"

namespace proctorium {

TTimerValue* TimerValue = nullptr;

TTimerValue::TTimerValue(QWidget* parent) : TForm(parent) {
  setObjectName(QStringLiteral("TimerValue"));
  setWindowTitle(QStringLiteral("Countdown Time"));
  setFixedSize(210, 136);
  Label1 = new QLabel(QStringLiteral("You have opted for a countdown timer as opposed to elapsed time. Please set the "
                                     "time limit required (minutes):"),
                      this);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->setWordWrap(true);
  Label1->setGeometry(8, 8, 194, 64);
  edTimeLimit = new QLineEdit(QStringLiteral("60"), this);
  edTimeLimit->setObjectName(QStringLiteral("edTimeLimit"));
  // Wide enough for the longest limit accepted, where the font needs more
  // than the design width; kept centred under the prompt.
  const QFontMetrics fm(edTimeLimit->font());
  const int limitWidth = std::max(33, fm.horizontalAdvance(QString::number(MaxMinutes)) + 12);
  edTimeLimit->setGeometry(88 - (limitWidth - 33) / 2, 76, limitWidth, 21);
  btnOk = new QPushButton(QStringLiteral("OK"), this);
  btnOk->setObjectName(QStringLiteral("btnOk"));
  btnOk->setToolTip(QStringLiteral("Run test with time limit as set"));
  btnOk->setDefault(true);
  btnOk->setGeometry(22, 106, 75, 22);
  btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
  btnCancel->setObjectName(QStringLiteral("btnCancel"));
  btnCancel->setToolTip(QStringLiteral("Exit this dialog, do not run test"));
  btnCancel->setAutoDefault(false);
  btnCancel->setGeometry(113, 106, 75, 22);
  connect(btnOk, &QPushButton::clicked, this, [this] { btnOkClick(); });
  connect(btnCancel, &QPushButton::clicked, this, [this] { btnCancelClick(); });
}

bool TTimerValue::ValidLimit(const QString& text, int* minutes) {
  bool ok = false;
  const int m = text.trimmed().toInt(&ok);
  if (!ok || m < 1 || m > MaxMinutes) return false;
  if (minutes) *minutes = m;
  return true;
}

int TTimerValue::Minutes() const {
  bool ok = false;
  const int m = edTimeLimit->text().trimmed().toInt(&ok);
  return ok ? m : LastValid_;
}

void TTimerValue::FormShow() {
  SetShowHint(Settings().ShowHints());
  const QPoint button = Settings().StartButtonAt();
  move(button.x(), button.y() - 64);
  int m = 0;
  if (ValidLimit(edTimeLimit->text(), &m)) LastValid_ = m;
  edTimeLimit->setFocus();
  edTimeLimit->selectAll();
}

void TTimerValue::btnOkClick() {
  int m = 0;
  // The box is refused rather than stored: a test must never start, and the
  // options file never be written, without a usable limit.
  if (!ValidLimit(edTimeLimit->text(), &m)) {
    MessageDlg(QStringLiteral("Please enter the time limit as a whole number of minutes from 1 to %1.").arg(MaxMinutes),
               TMsgDlgType::Warning, mbOK);
    edTimeLimit->setText(QString::number(LastValid_));
    edTimeLimit->setFocus();
    edTimeLimit->selectAll();
    return;
  }
  edTimeLimit->setText(QString::number(m));
  LastValid_ = m;
  if (!Guarded([] { SaveSettings(); })) return;
  done(mrOk);
}

void TTimerValue::btnCancelClick() {
  // Text the dialog would refuse is not left behind for the next save.
  if (!ValidLimit(edTimeLimit->text())) edTimeLimit->setText(QString::number(LastValid_));
  done(mrCancel);
}

}  // namespace proctorium
