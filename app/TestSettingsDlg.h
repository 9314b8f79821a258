#pragma once
// The teacher's settings for one question set: exam mode, the clock, what
// the candidate sees, the score rule, drawing, a start password and the
// time the set is open. Opened from the start window behind the
// administrator password.

#include <QCheckBox>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

#include "base/Form.h"
#include "session/core/TestSettings.h"

namespace proctorium {

class TTestSettingsDlg : public TForm {
  Q_OBJECT
 public:
  explicit TTestSettingsDlg(QWidget* parent = nullptr);

  QCheckBox* cbExamMode;
  QRadioButton* rbClockUser;
  QRadioButton* rbClockElapsed;
  QRadioButton* rbClockCountdown;
  QSpinBox* edMinutes;
  QCheckBox* cbRunningScore;
  QCheckBox* cbAnswers;
  QRadioButton* rbReviewNow;
  QRadioButton* rbReviewNever;
  QRadioButton* rbReviewRelease;
  QCheckBox* cbReleased;
  QRadioButton* rbScoreSeen;
  QRadioButton* rbScoreAll;
  QSpinBox* edDraw;
  QCheckBox* cbPassword;
  QLineEdit* edPassword;
  QCheckBox* cbOpenFrom;
  QDateTimeEdit* dtOpenFrom;
  QCheckBox* cbOpenUntil;
  QDateTimeEdit* dtOpenUntil;
  QPushButton* btnOk;
  QPushButton* btnCancel;

  // Shows settings for the set named setName.
  void Load(const TTestSettings& settings, const QString& setName);
  // The settings as the controls hold them; a start password left blank
  // keeps the one loaded.
  TTestSettings Result() const;

  void btnOkClick();

 protected:
  void reject() override;

 private:
  // Greys out what the other choices make meaningless.
  void UpdateEnabled();

  std::string LoadedPassword_;
};

}  // namespace proctorium
