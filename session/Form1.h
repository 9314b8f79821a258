#pragma once
// The test window: runs one question set as a test.

#include <QButtonGroup>
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QTimer>
#include <array>
#include <functional>
#include <memory>

#include "base/Form.h"
#include "base/Image.h"
#include "questions/core/QuestionSet.h"
#include "session/core/TestSession.h"

namespace proctorium {

// A label that acts on a mouse click, as the answer letters and texts do.
class TClickLabel : public QLabel {
 public:
  using QLabel::QLabel;
  std::function<void()> OnClick;

 protected:
  void mousePressEvent(QMouseEvent* e) override;
};

class TForm1 : public TForm {
  Q_OBJECT
 public:
  explicit TForm1(QWidget* parent = nullptr);
  ~TForm1() override;

  // Header
  QFrame* Panel2;
  QLabel* lbTitle;
  QLabel* lbTime;
  QPushButton* btnMark;
  QPushButton* btnGoto;
  TImage* LogoImage;
  // Question area
  QScrollArea* ScrollBox1;
  QWidget* ScrollContents;
  TImage* Image1;
  QLabel* lbQuestion;
  QFrame* Line1;
  std::array<QRadioButton*, AnswerCount> rb{};
  std::array<QCheckBox*, AnswerCount> cb{};
  std::array<TClickLabel*, AnswerCount> cbl{};
  std::array<TClickLabel*, AnswerCount> id{};
  QFrame* Line2;
  QLabel* lbReference;
  QWidget* Line3;
  // Question list
  QListWidget* ListBox1;
  // Button bar
  QFrame* Panel1;
  QPushButton* btnPrevious;
  QPushButton* btnNext;
  QPushButton* btnView;
  QPushButton* btnEndReview;
  QLabel* lbResults;
  QPushButton* btnHelp;
  QPushButton* btnSave;
  QPushButton* btnClose;

  QTimer* Timer1;

  // Test state
  std::unique_ptr<TQuestionSet> QuestionSet;
  TTestSession Session;
  std::int32_t TimerSeconds = 0;
  std::array<bool, 4> SavedButtonStates{};
  bool ReviewMode = false;
  bool AnswersShown = false;
  bool CloseAllowed = false;
  std::int32_t LayoutTop = 0;
  // Who is taking the test (UTF-8, as the candidate dialog gave it; empty
  // when nobody was asked) and the pass mark in per cent (0 for none), set
  // by the start window before the window opens.
  std::string CandidateName;
  std::string CandidateId;
  int PassMark = 0;

  // Engine
  void StartTest();
  void InitTakingOrder() { Session.InitTakingOrder(); }
  std::uint8_t CurrentQuestionNumber() const { return Session.CurrentQuestionNumber(); }
  void GoToPosition(int n);
  void ShowCurrentQuestion();
  void BuildAnswerOrder(int n);
  void StoreResponse();
  void LoadResponse(AnswerMask mask);
  void UpdateScore(bool final);
  void BuildReviewList() { Session.BuildReviewList(); }
  // Layout
  void ShowExhibit();
  void ShowAnswers();
  void PlaceAnswerRow(QRadioButton* radio, QCheckBox* check, const QString& text, QLabel* textLabel,
                      QLabel* letterLabel);
  void ShowNotes();
  int AvailableWidth(int left) const;
  void FormResize();
  // Clock
  void Timer1Timer();
  // The limit of a countdown test, in minutes.
  int CountdownMinutes() const;
  // Commands
  void btnNextClick();
  void btnPreviousClick();
  void btnGotoClick();
  void ListBox1Click();
  void ListBox1DblClick();
  void btnMarkClick();
  void btnViewClick();
  void btnEndReviewClick();
  // Saves the test into the results log, the detail log and the gradebook
  // as one unit.
  void btnSaveClick();
  void btnCloseClick();
  void btnHelpClick();
  void cblClick(int k);  // k = 1..8
  void cbl1Click() { cblClick(1); }
  void cbl2Click() { cblClick(2); }
  void cbl3Click() { cblClick(3); }
  void cbl4Click() { cblClick(4); }
  void cbl5Click() { cblClick(5); }
  void cbl6Click() { cblClick(6); }
  void cbl7Click() { cblClick(7); }
  void cbl8Click() { cblClick(8); }

  // True while a test is being taken (before End Test or expiry).
  bool Taking() const { return Taking_; }

 protected:
  void FormShow() override;
  void resizeEvent(QResizeEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  // Esc goes through the same close rules as the title bar.
  void reject() override;

 private:
  void PlaceRegions();
  // Sizes the header, the button bar, the letter column and the minimum
  // width for the window font and the test in hand, so no text is cut.
  void FitToFont();
  // Text colours of the header and the question area that read on their
  // backgrounds; the correct answers shown also turn bold.
  void ApplyTextColours();
  // Keys A-H / 1-8 tick a row, Left/Right and PgUp/PgDn move; true when used.
  bool HandleTestKey(QObject* watched, int key, Qt::KeyboardModifiers modifiers);
  int TextLeft() const { return 32 + LetterWidth_; }
  int ListWidth() const;
  bool SingleAnswer() const;
  void SetRadio(QRadioButton* radio, bool checked);
  // Refuses to run a set that cannot be tested and closes the window again.
  void AbandonTest();
  // Lays out question q; the title is left alone when the test has ended
  // and the review has not begun, since the positions no longer match it.
  void ShowQuestion(int q, bool updateTitle);

  QButtonGroup* RadioGroup_;
  int HeaderHeight_ = 52;
  int BarHeight_ = 29;
  int LetterWidth_ = 24;
  bool Taking_ = false;
  bool Abandoned_ = false;
  // The countdown ended the test, not the candidate.
  bool TimeRanOut_ = false;
  // The question on screen. After End Test the positions are cut down to
  // the review list, so the position no longer tells which one it is.
  int ShownQuestion_ = 0;
  std::string SetFileName_;
};

extern TForm1* Form1;

}  // namespace proctorium
