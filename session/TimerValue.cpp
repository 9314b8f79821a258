#include "session/TimerValue.h"

#include <QFontMetrics>
#include <algorithm>

#include "base/Controls.h"
#include "base/MessageDlg.h"
#include "base/Settings.h"

namespace proctorium {

TTimerValue* TimerValue = nullptr;

TTimerValue::TTimerValue(QWidget* parent) : TForm(parent) {
  setObjectName(QStringLiteral("TimerValue"));
  setWindowTitle(QStringLiteral("Countdown Time"));
  SetFixedDialogFrame(this);
  setFixedSize(210, 136);
  SetWindowHelpPage(this, "run.htm");
  Label1 = MakeLabel(this, "Label1",
                     QStringLiteral("You have opted for a countdown timer as opposed to elapsed time. Please set the "
                                    "time limit required (minutes):"),
                     {8, 8});
  Label1->setWordWrap(true);
  Label1->resize(194, 64);
  edTimeLimit = MakeEdit(this, "edTimeLimit", QString(), {});
  edTimeLimit->setText(QStringLiteral("60"));
  edTimeLimit->setAccessibleName(QStringLiteral("Time limit in minutes"));
  Label1->setBuddy(edTimeLimit);
  // Wide enough for the longest limit accepted, where the font needs more
  // than the design width; kept centred under the prompt.
  const QFontMetrics fm(edTimeLimit->font());
  const int limitWidth = std::max(33, fm.horizontalAdvance(QString::number(MaxMinutes)) + 12);
  edTimeLimit->setGeometry(88 - (limitWidth - 33) / 2, 76, limitWidth, 21);
  btnOk = MakeAutoDefaultButton(this, "btnOk", QStringLiteral("OK"), QStringLiteral("Run test with time limit as set"),
                                {22, 106, 75, 22});
  btnOk->setDefault(true);
  btnCancel = MakeButton(this, "btnCancel", QStringLiteral("Cancel"),
                         QStringLiteral("Exit this dialog, do not run test"), {113, 106, 75, 22});
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
  GrowFixedDialog(this, Settings().FontSize());
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
