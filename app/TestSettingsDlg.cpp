#include "app/TestSettingsDlg.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "base/AnsiText.h"
#include "base/MessageDlg.h"
#include "base/Settings.h"
#include "base/core/Ascii.h"
#include "base/core/OptionsFile.h"
#include "questions/core/QuestionSet.h"

namespace proctorium {

namespace {

const char* const TimeFormat = "yyyy-MM-dd HH:mm";

template <typename T>
T* Named(T* w, const char* name) {
  w->setObjectName(QString::fromLatin1(name));
  return w;
}

QDateTime FromText(const std::string& text) {
  const QDateTime t = QDateTime::fromString(QString::fromStdString(text), QString::fromLatin1(TimeFormat));
  if (t.isValid()) return t;
  // A fresh window opens at the next full hour.
  const QDateTime now = QDateTime::currentDateTime();
  return QDateTime(now.date(), QTime(now.time().hour(), 0)).addSecs(3600);
}

std::string ToText(const QDateTime& t) { return t.toString(QString::fromLatin1(TimeFormat)).toStdString(); }

}  // namespace

TTestSettingsDlg::TTestSettingsDlg(QWidget* parent) : TForm(parent) {
  setObjectName(QStringLiteral("TestSettingsDlg"));
  // In the administrator's font size, as the windows around it.
  SetFontSize(Settings().FontSize());
  setWindowTitle(QStringLiteral("Test settings"));
  SetWindowHelpPage(this, "start.htm");
  auto* layout = new QVBoxLayout(this);

  cbExamMode = Named(new QCheckBox(QStringLiteral("&Exam mode (full screen, ask before ending, score out of all "
                                                  "questions, resume after a crash)")),
                     "cbExamMode");
  layout->addWidget(cbExamMode);

  auto* clock = Named(new QGroupBox(QStringLiteral("Clock")), "gbClock");
  auto* clockRow = new QHBoxLayout(clock);
  rbClockUser = Named(new QRadioButton(QStringLiteral("As the user &chooses")), "rbClockUser");
  rbClockElapsed = Named(new QRadioButton(QStringLiteral("E&lapsed time")), "rbClockElapsed");
  rbClockCountdown = Named(new QRadioButton(QStringLiteral("Countdown &of")), "rbClockCountdown");
  edMinutes = Named(new QSpinBox, "edMinutes");
  edMinutes->setRange(1, 9999);
  edMinutes->setSuffix(QStringLiteral(" minutes"));
  for (QWidget* w : {static_cast<QWidget*>(rbClockUser), static_cast<QWidget*>(rbClockElapsed),
                     static_cast<QWidget*>(rbClockCountdown), static_cast<QWidget*>(edMinutes)})
    clockRow->addWidget(w);
  layout->addWidget(clock);

  cbRunningScore = Named(new QCheckBox(QStringLiteral("Show the &running score")), "cbRunningScore");
  cbAnswers = Named(new QCheckBox(QStringLiteral("Offer the &Answer button")), "cbAnswers");
  layout->addWidget(cbRunningScore);
  layout->addWidget(cbAnswers);

  auto* review = Named(new QGroupBox(QStringLiteral("Review of wrong answers")), "gbReview");
  auto* reviewRow = new QHBoxLayout(review);
  rbReviewNow = Named(new QRadioButton(QStringLiteral("&Immediately")), "rbReviewNow");
  rbReviewNever = Named(new QRadioButton(QStringLiteral("&Never")), "rbReviewNever");
  rbReviewRelease = Named(new QRadioButton(QStringLiteral("Once &released:")), "rbReviewRelease");
  cbReleased = Named(new QCheckBox(QStringLiteral("re&leased now")), "cbReleased");
  for (QWidget* w : {static_cast<QWidget*>(rbReviewNow), static_cast<QWidget*>(rbReviewNever),
                     static_cast<QWidget*>(rbReviewRelease), static_cast<QWidget*>(cbReleased)})
    reviewRow->addWidget(w);
  layout->addWidget(review);

  auto* score = Named(new QGroupBox(QStringLiteral("Score out of")), "gbScore");
  auto* scoreRow = new QHBoxLayout(score);
  rbScoreSeen = Named(new QRadioButton(QStringLiteral("the questions &seen")), "rbScoreSeen");
  rbScoreAll = Named(new QRadioButton(QStringLiteral("all &questions of the test")), "rbScoreAll");
  scoreRow->addWidget(rbScoreSeen);
  scoreRow->addWidget(rbScoreAll);
  layout->addWidget(score);

  auto* drawRow = new QHBoxLayout;
  drawRow->addWidget(new QLabel(QStringLiteral("&Draw at random per candidate (0 = every question):")));
  edDraw = Named(new QSpinBox, "edDraw");
  edDraw->setRange(0, MaxQuestions);
  static_cast<QLabel*>(drawRow->itemAt(0)->widget())->setBuddy(edDraw);
  drawRow->addWidget(edDraw);
  layout->addLayout(drawRow);

  auto* passwordRow = new QHBoxLayout;
  cbPassword = Named(new QCheckBox(QStringLiteral("Start &password:")), "cbPassword");
  edPassword = Named(new QLineEdit, "edPassword");
  edPassword->setEchoMode(QLineEdit::Password);
  passwordRow->addWidget(cbPassword);
  passwordRow->addWidget(edPassword);
  layout->addLayout(passwordRow);

  auto* openRow = new QHBoxLayout;
  cbOpenFrom = Named(new QCheckBox(QStringLiteral("Open &from")), "cbOpenFrom");
  dtOpenFrom = Named(new QDateTimeEdit, "dtOpenFrom");
  cbOpenUntil = Named(new QCheckBox(QStringLiteral("&until")), "cbOpenUntil");
  dtOpenUntil = Named(new QDateTimeEdit, "dtOpenUntil");
  for (QDateTimeEdit* e : {dtOpenFrom, dtOpenUntil}) {
    e->setDisplayFormat(QString::fromLatin1(TimeFormat));
    e->setCalendarPopup(true);
  }
  for (QWidget* w : {static_cast<QWidget*>(cbOpenFrom), static_cast<QWidget*>(dtOpenFrom),
                     static_cast<QWidget*>(cbOpenUntil), static_cast<QWidget*>(dtOpenUntil)})
    openRow->addWidget(w);
  layout->addLayout(openRow);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  btnOk = Named(new QPushButton(QStringLiteral("OK")), "btnOk");
  btnOk->setDefault(true);
  btnCancel = Named(new QPushButton(QStringLiteral("Cancel")), "btnCancel");
  buttons->addWidget(btnOk);
  buttons->addWidget(btnCancel);
  layout->addLayout(buttons);

  for (QAbstractButton* b : {static_cast<QAbstractButton*>(cbExamMode), static_cast<QAbstractButton*>(rbClockCountdown),
                             static_cast<QAbstractButton*>(rbClockUser), static_cast<QAbstractButton*>(rbClockElapsed),
                             static_cast<QAbstractButton*>(rbReviewRelease), static_cast<QAbstractButton*>(rbReviewNow),
                             static_cast<QAbstractButton*>(rbReviewNever), static_cast<QAbstractButton*>(cbPassword),
                             static_cast<QAbstractButton*>(cbOpenFrom), static_cast<QAbstractButton*>(cbOpenUntil)})
    connect(b, &QAbstractButton::toggled, this, [this] { UpdateEnabled(); });
  connect(btnOk, &QPushButton::clicked, this, [this] { btnOkClick(); });
  connect(btnCancel, &QPushButton::clicked, this, [this] { done(mrCancel); });
  Load({}, QString());
}

void TTestSettingsDlg::Load(const TTestSettings& s, const QString& setName) {
  setWindowTitle(setName.isEmpty() ? QStringLiteral("Test settings")
                                   : QStringLiteral("Test settings [%1]").arg(setName));
  cbExamMode->setChecked(s.ExamMode);
  rbClockUser->setChecked(s.Clock == TClockRule::AsUser);
  rbClockElapsed->setChecked(s.Clock == TClockRule::Elapsed);
  rbClockCountdown->setChecked(s.Clock == TClockRule::Countdown);
  edMinutes->setValue(s.CountdownMinutes > 0 ? s.CountdownMinutes : 60);
  cbRunningScore->setChecked(s.RunningScore);
  cbAnswers->setChecked(s.AnswersButton);
  rbReviewNow->setChecked(s.Review == TReviewRule::Immediately);
  rbReviewNever->setChecked(s.Review == TReviewRule::Never);
  rbReviewRelease->setChecked(s.Review == TReviewRule::OnRelease);
  cbReleased->setChecked(s.ReviewReleased);
  rbScoreSeen->setChecked(!s.ScoreAllQuestions);
  rbScoreAll->setChecked(s.ScoreAllQuestions);
  edDraw->setValue(s.DrawCount);
  LoadedPassword_ = s.StartPassword;
  cbPassword->setChecked(!s.StartPassword.empty());
  edPassword->clear();
  edPassword->setPlaceholderText(s.StartPassword.empty() ? QString() : QStringLiteral("(unchanged)"));
  cbOpenFrom->setChecked(!s.OpenFrom.empty());
  dtOpenFrom->setDateTime(FromText(s.OpenFrom));
  cbOpenUntil->setChecked(!s.OpenUntil.empty());
  dtOpenUntil->setDateTime(FromText(s.OpenUntil).addSecs(s.OpenUntil.empty() ? 3600 : 0));
  UpdateEnabled();
}

TTestSettings TTestSettingsDlg::Result() const {
  TTestSettings s;
  s.ExamMode = cbExamMode->isChecked();
  s.Clock = rbClockCountdown->isChecked() ? TClockRule::Countdown
            : rbClockElapsed->isChecked() ? TClockRule::Elapsed
                                          : TClockRule::AsUser;
  if (s.Clock == TClockRule::Countdown) s.CountdownMinutes = edMinutes->value();
  s.RunningScore = cbRunningScore->isChecked();
  s.AnswersButton = cbAnswers->isChecked();
  s.Review = rbReviewNever->isChecked()     ? TReviewRule::Never
             : rbReviewRelease->isChecked() ? TReviewRule::OnRelease
                                            : TReviewRule::Immediately;
  s.ReviewReleased = s.Review == TReviewRule::OnRelease && cbReleased->isChecked();
  s.ScoreAllQuestions = rbScoreAll->isChecked() && !s.ExamMode;
  s.DrawCount = edDraw->value();
  if (cbPassword->isChecked())
    s.StartPassword = edPassword->text().isEmpty() ? LoadedPassword_ : Scramble(UpperAscii(ToAnsi(edPassword->text())));
  if (cbOpenFrom->isChecked()) s.OpenFrom = ToText(dtOpenFrom->dateTime());
  if (cbOpenUntil->isChecked()) s.OpenUntil = ToText(dtOpenUntil->dateTime());
  return s;
}

void TTestSettingsDlg::UpdateEnabled() {
  edMinutes->setEnabled(rbClockCountdown->isChecked());
  cbReleased->setEnabled(rbReviewRelease->isChecked());
  // Exam mode always scores out of every question.
  if (cbExamMode->isChecked()) rbScoreAll->setChecked(true);
  rbScoreSeen->setEnabled(!cbExamMode->isChecked());
  edPassword->setEnabled(cbPassword->isChecked());
  dtOpenFrom->setEnabled(cbOpenFrom->isChecked());
  dtOpenUntil->setEnabled(cbOpenUntil->isChecked());
}

void TTestSettingsDlg::btnOkClick() {
  const TTestSettings s = Result();
  if (cbPassword->isChecked() && s.StartPassword.empty()) {
    MessageDlg(QStringLiteral("Type the start password, or clear Start password."), TMsgDlgType::Warning, mbOK);
    edPassword->setFocus();
    return;
  }
  if (!s.OpenFrom.empty() && !s.OpenUntil.empty() && s.OpenUntil <= s.OpenFrom) {
    MessageDlg(QStringLiteral("The test must open before it closes."), TMsgDlgType::Warning, mbOK);
    dtOpenUntil->setFocus();
    return;
  }
  done(mrOk);
}

void TTestSettingsDlg::reject() { done(mrCancel); }

}  // namespace proctorium
