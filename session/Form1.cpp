#include "session/Form1.h"

#include <QAccessible>
#include <QApplication>
#include <QCloseEvent>
#include <QDate>
#include <QDateTime>
#include <QKeyEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QScrollBar>
#include <algorithm>
#include <limits>

#include "base/AnsiText.h"
#include "base/Colour.h"
#include "base/Controls.h"
#include "base/MessageDlg.h"
#include "base/Pictures.h"
#include "base/ProgramFolder.h"
#include "base/Settings.h"
#include "base/core/Contrast.h"
#include "base/core/PathResolver.h"
#include "candidates/core/Gradebook.h"
#include "questions/core/ExhibitText.h"
#include "session/ResultsForm.h"
#include "session/TimerValue.h"
#include "session/core/AttemptJournal.h"
#include "session/core/DetailLog.h"
#include "session/core/TimeText.h"
#include "web/HelpPage.h"

namespace proctorium {

TForm1* Form1 = nullptr;

namespace {

const char* const TagProperty = "Tag";

int Tag(const QObject* o) { return o->property(TagProperty).toInt(); }

QFrame* MakeBar(QWidget* parent, const char* name) {
  auto* bar = new QFrame(parent);
  bar->setObjectName(QString::fromLatin1(name));
  bar->setFrameShape(QFrame::HLine);
  bar->setFrameShadow(QFrame::Sunken);
  bar->setLineWidth(1);
  bar->setFixedHeight(3);
  return bar;
}

void SetTextColour(QLabel* label, const QColor& colour) {
  QPalette p = label->palette();
  if (p.color(QPalette::WindowText) == colour) return;
  p.setColor(QPalette::WindowText, colour);
  label->setPalette(p);
}

void SetBold(QWidget* w, bool bold) {
  if (w->font().bold() == bold) return;
  QFont f = w->font();
  f.setBold(bold);
  w->setFont(f);
}

TRgb Rgb(const QColor& c) { return {c.red(), c.green(), c.blue()}; }
QColor ToQColor(const TRgb& c) { return QColor(c.R, c.G, c.B); }

}  // namespace

void TClickLabel::mousePressEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton && OnClick) {
    OnClick();
    return;
  }
  QLabel::mousePressEvent(e);
}

TForm1::TForm1(QWidget* parent) : TForm(parent) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QStringLiteral("Proctorium"));
  setSizeGripEnabled(true);

  Panel2 = new QFrame(this);
  Panel2->setObjectName(QStringLiteral("Panel2"));
  Panel2->setFrameShape(QFrame::StyledPanel);
  Panel2->setAutoFillBackground(true);
  lbTitle = new QLabel(QStringLiteral("Question #1"), Panel2);
  lbTitle->setObjectName(QStringLiteral("lbTitle"));
  QFont titleFont = lbTitle->font();
  titleFont.setBold(true);
  titleFont.setPixelSize(16);
  lbTitle->setFont(titleFont);
  lbTitle->move(8, 8);
  lbTitle->adjustSize();
  lbTime = new QLabel(QStringLiteral("Time"), Panel2);
  lbTime->setObjectName(QStringLiteral("lbTime"));
  lbTime->setToolTip(QStringLiteral("Elapsed time since this test session started"));
  lbTime->move(8, 30);
  lbTime->adjustSize();
  btnMark = MakeButton(Panel2, "btnMark", QStringLiteral("&Mark"), QStringLiteral("Mark this question for review"),
                       {250, 4, 60, 20}, 8);
  btnGoto = MakeButton(Panel2, "btnGoto", QStringLiteral("&Goto"),
                       QStringLiteral("Goto a specific question (shows list)"), {250, 26, 60, 20}, 8);
  LogoImage = new TImage(Panel2);
  LogoImage->setObjectName(QStringLiteral("LogoImage"));
  // A long title pushes the buttons towards the banner; they stay on top.
  LogoImage->lower();

  ScrollBox1 = new QScrollArea(this);
  ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
  ScrollBox1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  ScrollBox1->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  ScrollBox1->setWidgetResizable(false);
  ScrollContents = new QWidget;
  ScrollContents->setObjectName(QStringLiteral("ScrollContents"));
  ScrollContents->setAutoFillBackground(true);
  ScrollBox1->setWidget(ScrollContents);

  Image1 = new TImage(ScrollContents);
  Image1->setObjectName(QStringLiteral("Image1"));
  Image1->AutoSize = true;
  Image1->setToolTip(QStringLiteral("Question exhibit"));
  Image1->setAccessibleName(QStringLiteral("Question exhibit"));
  Image1->hide();
  lbExhibitText = new QLabel(ScrollContents);
  lbExhibitText->setObjectName(QStringLiteral("lbExhibitText"));
  lbExhibitText->setWordWrap(true);
  lbExhibitText->setTextFormat(Qt::PlainText);
  lbExhibitText->hide();
  lbQuestion = new QLabel(ScrollContents);
  lbQuestion->setObjectName(QStringLiteral("lbQuestion"));
  lbQuestion->setWordWrap(true);
  lbQuestion->setTextFormat(Qt::PlainText);
  lbQuestion->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  Line1 = MakeBar(ScrollContents, "Line1");

  RadioGroup_ = new QButtonGroup(this);
  RadioGroup_->setExclusive(true);
  for (int k = 0; k < AnswerCount; ++k) {
    const int tag = 1 << k;
    const QString n = QString::number(k + 1);
    rb[k] = new QRadioButton(ScrollContents);
    rb[k]->setObjectName(QStringLiteral("rb") + n);
    rb[k]->setProperty(TagProperty, tag);
    rb[k]->setGeometry(8, 0, 20, 20);
    rb[k]->hide();
    RadioGroup_->addButton(rb[k]);
    // The chosen row is marked by more than the button's own dot.
    connect(rb[k], &QAbstractButton::toggled, this, [this] { ApplyTextColours(); });
    cb[k] = new QCheckBox(ScrollContents);
    cb[k]->setObjectName(QStringLiteral("cb") + n);
    cb[k]->setProperty(TagProperty, tag);
    cb[k]->setGeometry(8, 0, 20, 20);
    cb[k]->hide();
    connect(cb[k], &QAbstractButton::toggled, this, [this] { ApplyTextColours(); });
    id[k] = new TClickLabel(QString(QChar('A' + k)) + QStringLiteral("."), ScrollContents);
    id[k]->setObjectName(QStringLiteral("id") + n);
    id[k]->setProperty(TagProperty, 0);
    id[k]->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    id[k]->setGeometry(32, 0, 24, 20);
    id[k]->OnClick = [this, k] { cblClick(k + 1); };
    id[k]->hide();
    cbl[k] = new TClickLabel(ScrollContents);
    cbl[k]->setObjectName(QStringLiteral("cbl") + n);
    cbl[k]->setProperty(TagProperty, tag);
    cbl[k]->setWordWrap(true);
    cbl[k]->setTextFormat(Qt::PlainText);
    cbl[k]->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    cbl[k]->OnClick = [this, k] { cblClick(k + 1); };
    cbl[k]->hide();
  }
  FocusMark_ = new QFrame(ScrollContents);
  FocusMark_->setObjectName(QStringLiteral("FocusMark"));
  FocusMark_->setFrameStyle(QFrame::Box | QFrame::Plain);
  FocusMark_->setLineWidth(2);
  FocusMark_->setAttribute(Qt::WA_TransparentForMouseEvents);
  FocusMark_->hide();
  connect(qApp, &QApplication::focusChanged, this, [this] { PlaceFocusMark(); });
  Line2 = MakeBar(ScrollContents, "Line2");
  Line2->hide();
  lbReference = new QLabel(ScrollContents);
  lbReference->setObjectName(QStringLiteral("lbReference"));
  lbReference->setWordWrap(true);
  lbReference->setTextFormat(Qt::PlainText);
  lbReference->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  lbReference->hide();
  Line3 = new QWidget(ScrollContents);
  Line3->setObjectName(QStringLiteral("Line3"));
  Line3->setGeometry(8, 0, 1, 1);

  ListBox1 = new QListWidget(this);
  ListBox1->setObjectName(QStringLiteral("ListBox1"));
  ListBox1->setUniformItemSizes(true);
  ListBox1->setAccessibleName(QStringLiteral("Question list"));
  ListBox1->setAccessibleDescription(
      QStringLiteral("Enter goes to the question and closes the list, Escape closes it"));
  ListBox1->hide();

  Panel1 = new QFrame(this);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  btnPrevious = MakeButton(Panel1, "btnPrevious", QStringLiteral("&Previous"),
                           QStringLiteral("Show the previous question"), {8, 5, 60, 20}, 8);
  btnNext = MakeButton(Panel1, "btnNext", QStringLiteral("&Next"), QStringLiteral("Show the next question"),
                       {72, 5, 60, 20}, 8);
  btnView = MakeButton(Panel1, "btnView", QStringLiteral("&Answer"),
                       QStringLiteral("Show the correct answers and any comments"), {136, 5, 60, 20}, 8);
  btnEndReview = MakeButton(Panel1, "btnEndReview", QStringLiteral("&End Test"),
                            QStringLiteral("Stop the timer and show the results"), {208, 5, 60, 20}, 8);
  lbResults = new QLabel(Panel1);
  lbResults->setObjectName(QStringLiteral("lbResults"));
  lbResults->setGeometry(272, 8, 140, 16);
  btnHelp = MakeButton(Panel1, "btnHelp", QStringLiteral("He&lp"), QString(), {416, 5, 60, 20}, 8);
  btnSave = MakeButton(Panel1, "btnSave", QStringLiteral("&Save Results"),
                       QStringLiteral("Save the results of this test session"), {480, 5, 76, 20}, 8);
  btnSave->setEnabled(false);
  btnClose = MakeButton(Panel1, "btnClose", QStringLiteral("&Close"), QStringLiteral("Close this window"),
                        {560, 5, 60, 20}, 8);

  Timer1 = new QTimer(this);
  Timer1->setObjectName(QStringLiteral("Timer1"));
  Timer1->setInterval(1000);

  connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
  connect(btnMark, &QPushButton::clicked, this, [this] { btnMarkClick(); });
  connect(btnGoto, &QPushButton::clicked, this, [this] { btnGotoClick(); });
  connect(btnPrevious, &QPushButton::clicked, this, [this] { btnPreviousClick(); });
  connect(btnNext, &QPushButton::clicked, this, [this] { btnNextClick(); });
  connect(btnView, &QPushButton::clicked, this, [this] { btnViewClick(); });
  connect(btnEndReview, &QPushButton::clicked, this, [this] { btnEndReviewClick(); });
  connect(btnHelp, &QPushButton::clicked, this, [this] { btnHelpClick(); });
  connect(btnSave, &QPushButton::clicked, this, [this] { btnSaveClick(); });
  connect(btnClose, &QPushButton::clicked, this, [this] { btnCloseClick(); });
  for (int k = 0; k < AnswerCount; ++k) {
    connect(rb[k], &QAbstractButton::clicked, this, [this] {
      if (Taking_) JournalNow();
    });
    connect(cb[k], &QAbstractButton::clicked, this, [this] {
      if (Taking_) JournalNow();
    });
  }
  // Arrows in the list go to the question as a click does.
  connect(ListBox1, &QListWidget::currentRowChanged, this, [this] {
    if (!GotoFilling_) ListBox1Click();
  });
  connect(ListBox1, &QListWidget::itemDoubleClicked, this, [this] { ListBox1DblClick(); });

  setMinimumSize(640, 240);
  resize(640, 480);
  PlaceRegions();
  SetWindowHelpPage(this, "run.htm");
  // Keys are seen before the focused control takes them, so that A-H tick
  // answers wherever the focus is; only this window's own keys.
  qApp->installEventFilter(this);
}

TForm1::~TForm1() {
  // Focus moves while the window's widgets are taken down, after this part
  // of the object is gone: the focus mark must not follow it then.
  disconnect(qApp, &QApplication::focusChanged, this, nullptr);
}

// ---------------------------------------------------------------- regions

void TForm1::PlaceRegions() {
  const int w = width();
  const int h = height();
  Panel2->setGeometry(0, 0, w, HeaderHeight_);
  LogoImage->setGeometry(w - 320 - 1, 1, 320, 50);
  Panel1->setGeometry(0, h - BarHeight_, w, BarHeight_);
  const int middle = std::max(0, h - HeaderHeight_ - BarHeight_);
  // The list never takes more than a third of the window, so the question
  // and its answers keep their room at any font size.
  const int listWidth = ListBox1->isHidden() ? 0 : std::min(ListWidth(), w / 3);
  ListBox1->setGeometry(w - std::min(ListWidth(), w / 3), HeaderHeight_, std::min(ListWidth(), w / 3), middle);
  ScrollBox1->setGeometry(0, HeaderHeight_, w - listWidth, middle);
}

int TForm1::ListWidth() const {
  // The heading must be readable whole; where the font is wider than the
  // one the design width was chosen for, the list grows to it.
  const int heading = ListBox1->fontMetrics().horizontalAdvance(QStringLiteral("Select question:"));
  return std::max(100, heading + 2 * ListBox1->frameWidth() + 12);
}

void TForm1::FitToFont() {
  // The design sizes hold for the design's font; a larger window font (the
  // settings allow any size) makes the regions and columns grow instead of
  // letting the texts run into one another.
  const QString n = QString::number(std::max(Session.PositionCount, 1));

  // The buttons grow with large print too: 8 points up to the default font,
  // then in step with it. Each is as wide as the longest caption it takes.
  const int buttonPoints = std::max(8, static_cast<int>(8 * FontGrowth(font())));
  auto sizeButton = [buttonPoints](QPushButton* b, int designWidth, const QString& other = QString()) {
    SetPointSize(b, buttonPoints);
    const QString shown = b->text();
    int width = std::max(designWidth, b->sizeHint().width());
    if (!other.isEmpty()) {
      b->setText(other);
      width = std::max(width, b->sizeHint().width());
      b->setText(shown);
    }
    b->resize(width, std::max(20, b->sizeHint().height()));
  };
  sizeButton(btnMark, 60, QStringLiteral("&Unmark"));
  sizeButton(btnGoto, 60);
  btnGoto->move(btnGoto->x(), btnMark->y() + btnMark->height() + 2);
  sizeButton(btnPrevious, 60);
  sizeButton(btnNext, 60);
  sizeButton(btnView, 60, QStringLiteral("&Hide"));
  sizeButton(btnEndReview, 60, QStringLiteral("&Review"));
  sizeButton(btnHelp, 60);
  sizeButton(btnSave, 76);
  sizeButton(btnClose, 60);
  btnNext->move(btnPrevious->x() + btnPrevious->width() + 4, btnNext->y());
  btnView->move(btnNext->x() + btnNext->width() + 4, btnView->y());
  btnEndReview->move(btnView->x() + btnView->width() + 12, btnEndReview->y());
  lbResults->move(btnEndReview->x() + btnEndReview->width() + 4, lbResults->y());

  // Header: the clock line sets its height; Mark and Goto stand clear of
  // the widest title and clock the test can show, and the banner of them.
  const QFontMetrics timeFont = lbTime->fontMetrics();
  const int limit = ElapsedClock() ? 0 : CountdownMinutes() * 60;
  const QString widestTime = ElapsedClock() ? QStringLiteral("Elapsed time") + QString::fromStdString(FormatTime(0))
                                            : QStringLiteral("Time left") + QString::fromStdString(FormatTime(limit));
  lbTime->resize(lbTime->sizeHint());
  HeaderHeight_ = std::max({52, lbTime->y() + timeFont.height() + 4, btnGoto->y() + btnGoto->height() + 4});
  // The review title is longer, but only shown once Mark and Goto are out of
  // use; they move for it then, not before.
  const QString last = QString::number(QuestionSet ? QuestionSet->LastIndex : 1);
  const QString widestTitle = ReviewMode ? QStringLiteral("Review %1 of %1 \u2014 Question %2 (Marked)").arg(n, last)
                                         : QStringLiteral("Question %1 of %1 (Marked)").arg(n);
  const int titleRight = lbTitle->x() + lbTitle->fontMetrics().horizontalAdvance(widestTitle);
  const int timeRight = lbTime->x() + timeFont.horizontalAdvance(widestTime);
  const int left = std::max({250, titleRight + 8, timeRight + 8});
  btnMark->move(left, btnMark->y());
  btnGoto->move(left, btnGoto->y());

  // Answer rows: the letter column fits its widest letter.
  LetterWidth_ = std::max(24, fontMetrics().horizontalAdvance(QStringLiteral("W.")) + 4);

  // Button bar: the score text is sized once per test for the longest score
  // it can show, and the bar is as high as it needs.
  const QString widest = QStringLiteral("%1 of %1 Correct [100%]").arg(n);
  const QFontMetrics scoreFont = lbResults->fontMetrics();
  const QString shown = lbResults->text();
  lbResults->setText(widest);
  const int scoreHeight = std::max(16, lbResults->sizeHint().height());
  lbResults->setText(shown);
  // In review the positions are cut down to the wrong ones, but the score
  // still counts every question seen: its width stays.
  const int scoreWidth = std::max(140, scoreFont.horizontalAdvance(widest) + 4);
  lbResults->resize(ReviewMode ? std::max(scoreWidth, lbResults->width()) : scoreWidth, scoreHeight);
  BarHeight_ = std::max({29, scoreHeight + 10, btnNext->height() + 9});
  lbResults->move(lbResults->x(), (BarHeight_ - scoreHeight) / 2);
  for (QPushButton* b : {btnPrevious, btnNext, btnView, btnEndReview, btnHelp, btnSave, btnClose})
    b->move(b->x(), (BarHeight_ - b->height()) / 2);

  // Help, Save and Close stand at the right edge (see FormResize).
  const int rightGroup = btnHelp->width() + 4 + btnSave->width() + 4 + btnClose->width() + 20;
  const int needed =
      std::max({640, lbResults->x() + lbResults->width() + 4 + rightGroup, left + btnMark->width() + 8 + 321});
  setMinimumWidth(needed);
  if (width() < needed) resize(needed, height());
  PlaceRegions();
}

void TForm1::resizeEvent(QResizeEvent* e) {
  TForm::resizeEvent(e);
  FormResize();
}

void TForm1::FormResize() {
  // The minimum size normally holds already; this covers a size forced on
  // the window before the limit took effect.
  if (width() < minimumWidth() || height() < 240) {
    resize(std::max(width(), minimumWidth()), std::max(height(), 240));
    return;
  }
  btnClose->move(width() - 20 - btnClose->width(), btnClose->y());
  btnSave->move(btnClose->x() - 4 - btnSave->width(), btnSave->y());
  btnHelp->move(btnSave->x() - 4 - btnHelp->width(), btnHelp->y());
  PlaceRegions();
  if (ShownQuestion_ == 0 || !QuestionSet) return;
  StoreResponse();
  ShowQuestion(ShownQuestion_, /*updateTitle=*/Taking_ || ReviewMode);
}

// ---------------------------------------------------------------- engine

void TForm1::FormShow() { StartTest(); }

void TForm1::StartTest() {
  Abandoned_ = false;
  TimeRanOut_ = false;
  ShownQuestion_ = 0;
  Timer1->stop();

  // Presentation: the banner, and a header that blends into it.
  LogoImage->SetPicture(Settings().SelectedSetPicture());
  QPalette header = Panel2->palette();
  if (!LogoImage->Empty()) header.setColor(QPalette::Window, LogoImage->Picture().pixelColor(0, 0));
  Panel2->setPalette(header);
  SetFontSize(Settings().FontSize());
  std::string fileName = Settings().SelectedSetFile();
  if (!fileName.empty()) {
    const std::string base = ExtractFileName(fileName);
    const auto dot = base.rfind('.');
    // The name as written may differ in case from the file on disk
    // ("UPPER.QST"); the resolver finds the real one.
    fileName = ResolvePath(ExtractFilePath(fileName), (dot == std::string::npos ? base : base.substr(0, dot)) + ".qst");
  }
  SetFileName_ = ExtractFileName(fileName);
  QString title = QStringLiteral("Proctorium [") + QString::fromStdString(SetFileName_) + QStringLiteral("]");
  // Isolated, so a right-to-left name cannot reorder the rest of the title.
  if (!CandidateName.empty())
    title += QStringLiteral(" \u2014 ") + QChar(0x2068) + QString::fromStdString(CandidateName) + QChar(0x2069);
  setWindowTitle(title);
  SetShowHint(Settings().ShowHints());

  ListBox1->hide();
  PlaceRegions();
  btnMark->setEnabled(true);
  btnGoto->setEnabled(true);
  btnView->setEnabled(true);
  btnEndReview->setText(QStringLiteral("&End Test"));
  btnEndReview->setEnabled(true);
  btnClose->setEnabled(false);
  btnSave->setEnabled(false);
  btnView->setText(QStringLiteral("&Answer"));
  CloseAllowed = false;
  ReviewMode = false;
  AnswersShown = false;
  lbResults->setText(QString());
  lbResults->show();

  SetSettings_ = {};
  FocusLosses_ = 0;
  EndedByClock_ = false;
  AppActive_ = true;
  JournalEnded_ = false;
  JournalFailed_ = false;
  if (!fileName.empty()) {
    try {
      SetSettings_ = ReadTestSettings(fileName);
    } catch (const std::exception& e) {
      // The set runs as if it had none: a teacher who finds out can set it
      // again, a candidate is not kept from the test.
      ShowException(e);
    }
  }
  if (!SetSettings_.AnswersButton && !btnView->isHidden()) {
    btnView->hide();
    ViewHiddenForSet_ = true;
  }

  QuestionSet = std::make_unique<TQuestionSet>();
  try {
    QuestionSet->LoadFromFile(fileName);
  } catch (const std::exception& e) {
    ShowException(e);
    AbandonTest();
    return;
  }
  QuestionSet->SetCurrent(0);
  // Left open by the model: a set of a description alone has nothing to
  // ask, and its description must never be put as a question.
  if (QuestionSet->LastIndex < 1) {
    MessageDlg(QStringLiteral("This question set has no questions, so it cannot be run as a test."),
               TMsgDlgType::Information, mbOK);
    AbandonTest();
    return;
  }
  Fingerprint_ = SetFingerprint(*QuestionSet);
  const bool resumed = Resume_.has_value();
  if (resumed) {
    if (Resume_->Attempt.Fingerprint != Fingerprint_) {
      MessageDlg(QStringLiteral("The question set %1 has changed since this test began, so it cannot be resumed.")
                     .arg(QString::fromStdString(SetFileName_)),
                 TMsgDlgType::Information, mbOK);
      Resume_.reset();
      AbandonTest();
      return;
    }
    RestoreAttempt(Resume_->Attempt, *QuestionSet, Session);
    FocusLosses_ = Resume_->Attempt.FocusLosses;
  } else {
    Session.ScoreAll = SetSettings_.ScoresAll();
    Session.DrawCount = SetSettings_.DrawCount;
    Session.Start(*QuestionSet);
  }
  FitToFont();
  // After the fitting, which may resize the window and so drop the state.
  if (SetSettings_.ExamMode) setWindowState(windowState() | Qt::WindowFullScreen);
  Taking_ = true;
  const int used = resumed ? Resume_->Attempt.SecondsUsed : 0;
  TimerSeconds = ElapsedClock() ? used : CountdownMinutes() * 60 - used;
  BeginJournal();
  GoToPosition(resumed ? Session.CurrentPosition : 1);

  Timer1Timer();
  if (Taking_) Timer1->start();
  if (resumed && ResumeEnds_ && Taking_) EndTest(/*ask=*/false);
  ResumeEnds_ = false;

  const QColor screen = ColourToQColor(Settings().ScreenColour());
  for (QWidget* w : {static_cast<QWidget*>(ScrollContents), ScrollBox1->viewport()}) {
    QPalette p = w->palette();
    p.setColor(QPalette::Window, screen);
    w->setPalette(p);
  }
  ApplyTextColours();
}

void TForm1::ResumeNext(TUnfinishedAttempt attempt, bool endAtOnce) {
  Resume_ = std::move(attempt);
  ResumeEnds_ = endAtOnce;
}

void TForm1::BeginJournal() {
  const bool resumed = Resume_.has_value();
  Started_ = resumed ? Resume_->Attempt.Started
                     : QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toStdString();
  // Practice runs keep no journal: only an exam is worth taking up again.
  if (SetSettings_.ExamMode || resumed) {
    try {
      Journal_ = std::make_unique<TAttemptJournal>(ProgramPath(AttemptsRelative));
    } catch (const std::exception& e) {
      ShowException(e);
    }
  }
  JournalNow();
  if (!resumed) return;
  // The old journal goes only once the new one holds the attempt.
  if (Journal_ && !JournalFailed_) RemoveAttempt(*Resume_);
  Resume_.reset();
}

int TForm1::SecondsUsed() const { return ElapsedClock() ? TimerSeconds : CountdownMinutes() * 60 - TimerSeconds; }

void TForm1::JournalNow() {
  if (!Journal_ || JournalEnded_ || !QuestionSet) return;
  TAttempt a = CaptureAttempt(Session);
  a.SetFile = SetFileName_;
  a.Fingerprint = Fingerprint_;
  a.Started = Started_;
  a.SecondsUsed = std::max(0, SecondsUsed());
  a.FocusLosses = FocusLosses_;
  a.Ended = !Taking_;
  // A tick counts from the moment it is on the screen, not from the next
  // move to another question.
  if (Taking_ && ShownQuestion_ > 0)
    for (TAttemptQuestion& q : a.Questions)
      if (q.Question == ShownQuestion_) q.Response = ScreenMask();
  try {
    Journal_->Write(a);
    JournalFailed_ = false;
  } catch (const std::exception& e) {
    // Said once; the next change tries again.
    if (!JournalFailed_) ShowException(e);
    JournalFailed_ = true;
  }
  if (!Taking_) JournalEnded_ = true;
}

void TForm1::AbandonTest() {
  Abandoned_ = true;
  Taking_ = false;
  Journal_.reset();
  QuestionSet.reset();
  // Deferred: the window is still being shown, and a modal loop that has
  // not started yet would miss an immediate close.
  QTimer::singleShot(0, this, [this] {
    if (Abandoned_ && isVisible()) QDialog::done(mrCancel);
  });
}

int TForm1::CountdownMinutes() const {
  if (SetSettings_.Clock == TClockRule::Countdown) return SetSettings_.CountdownMinutes;
  // The dialog refuses such limits, but an options file can still carry
  // one; kept within what the seconds counter can hold.
  constexpr int Bound = std::numeric_limits<std::int32_t>::max() / 60;
  return std::clamp(Settings().CountdownMinutes(), -Bound, Bound);
}

bool TForm1::ElapsedClock() const {
  switch (SetSettings_.Clock) {
    case TClockRule::Elapsed:
      return true;
    case TClockRule::Countdown:
      return false;
    case TClockRule::AsUser:
      break;
  }
  return Settings().ElapsedMode();
}

void TForm1::GoToPosition(int n) {
  Session.CurrentPosition = n;
  btnPrevious->setEnabled(n > 1);
  btnNext->setEnabled(n < Session.PositionCount);
  ShowCurrentQuestion();
  if (Taking_) JournalNow();
}

void TForm1::ShowCurrentQuestion() { ShowQuestion(CurrentQuestionNumber(), true); }

void TForm1::ShowQuestion(int q, bool updateTitle) {
  if (!QuestionSet || q < 1) return;
  ShownQuestion_ = q;
  QuestionSet->SetCurrent(q);
  Session.QuestionStates[q].Seen = true;
  LoadResponse(Session.QuestionStates[q].Response);
  if (updateTitle) {
    lbTitle->setText(FromAnsi(ReviewMode ? Session.ReviewTitle(q) : Session.Title(q, ReviewMode)));
    lbTitle->adjustSize();
    Announce(lbTitle);
    btnMark->setText(Session.QuestionStates[q].Marked ? QStringLiteral("&Unmark") : QStringLiteral("&Mark"));
  }

  ScrollBox1->verticalScrollBar()->setValue(0);
  ScrollContents->resize(ScrollBox1->viewport()->width(), ScrollContents->height());
  LayoutTop = 8;
  ShowExhibit();
  const TQuestion question = QuestionSet->GetCurrent();
  const int width = AvailableWidth(8);
  lbQuestion->setText(FromSetText(question.Text, QuestionSet->Encoding == TTextEncoding::Utf8));
  lbQuestion->setGeometry(8, LayoutTop, width, lbQuestion->heightForWidth(width));
  LayoutTop = lbQuestion->y() + lbQuestion->height() + 10;
  Line1->setGeometry(8, LayoutTop, AvailableWidth(8), 3);
  LayoutTop += 10;
  ShowAnswers();
  ShowNotes();
  Line3->move(8, LayoutTop);
  PlaceFocusMark();
  ScrollContents->resize(ScrollBox1->viewport()->width(), std::max(LayoutTop + 1, ScrollBox1->viewport()->height()));
}

void TForm1::BuildAnswerOrder(int n) {
  const int q = ShownQuestion_;
  Session.BuildAnswerOrder(q, QuestionSet->Questions[q], n);
}

bool TForm1::SingleAnswer() const { return QuestionSet && QuestionSet->GetCurrent().AnswerType == TAnswerType::Single; }

AnswerMask TForm1::ScreenMask() const {
  AnswerMask mask = 0;
  if (SingleAnswer()) {
    for (QRadioButton* r : rb)
      if (r->isChecked()) mask |= static_cast<AnswerMask>(Tag(r));
  } else {
    for (QCheckBox* c : cb)
      if (c->isChecked()) mask |= static_cast<AnswerMask>(Tag(c));
  }
  return mask;
}

void TForm1::StoreResponse() {
  const int q = ShownQuestion_;
  if (!QuestionSet || q < 1) return;
  Session.StoreResponse(q, ScreenMask());
  if (Settings().EnableRunningScore() && SetSettings_.RunningScore) UpdateScore(false);
  // The open question list says at once what is answered now.
  if (!ListBox1->isHidden()) {
    const std::vector<std::string> items = Session.GotoItems();
    for (int i = 0; i < ListBox1->count() && i < static_cast<int>(items.size()); ++i)
      ListBox1->item(i)->setText(FromAnsi(items[static_cast<size_t>(i)]));
  }
}

void TForm1::SetRadio(QRadioButton* radio, bool checked) {
  if (radio->isChecked() == checked) return;
  if (checked) {
    radio->setChecked(true);
    return;
  }
  // An exclusive group will not let its checked button go on its own.
  RadioGroup_->setExclusive(false);
  radio->setChecked(false);
  RadioGroup_->setExclusive(true);
}

void TForm1::LoadResponse(AnswerMask mask) {
  if (SingleAnswer()) {
    for (QRadioButton* r : rb) SetRadio(r, (Tag(r) & mask) != 0);
  } else {
    for (QCheckBox* c : cb) c->setChecked((Tag(c) & mask) != 0);
  }
}

void TForm1::UpdateScore(bool final) {
  const TScore score = Session.UpdateScore(final);
  QString text = FromAnsi(ScoreText(score));
  // Once the test is over, the verdict stands beside the score.
  if (!Taking_ && PassMark > 0)
    text += QStringLiteral("  ") + QString::fromStdString(PassResult(score.Percent, PassMark));
  lbResults->setText(text);
  Announce(lbResults);
  if (!final) return;
  lbResults->show();
  btnEndReview->setEnabled(Session.HasIncorrect && SetSettings_.ReviewAllowed());
}

// ---------------------------------------------------------------- layout

void TForm1::ShowExhibit() {
  const std::string exhibit = QuestionSet->GetCurrent().ExhibitFile;
  Image1->hide();
  lbExhibitText->hide();
  Image1->setFocusPolicy(Qt::NoFocus);
  if (exhibit.empty()) return;
  bool loaded = false;
  try {
    Image1->Clear();
    loaded = LoadImageFile(Image1, PicturePath(exhibit));
  } catch (const std::exception& e) {
    // A file that is there but is no picture: say why, and go on without it.
    ShowException(e);
    return;
  }
  if (!loaded) {
    MessageDlg(QStringLiteral("Exhibit not found: ") + FromAnsi(exhibit), TMsgDlgType::Information, mbOK);
    return;
  }
  // The picture's words, where the teacher wrote them, are its name for a
  // screen reader and can be shown under it.
  const QString described = FromAnsi(ReadExhibitText(PicturePath(exhibit)));
  Image1->setAccessibleName(described.isEmpty() ? QStringLiteral("Question exhibit")
                                                : QStringLiteral("Exhibit: ") + described);
  Image1->setAccessibleDescription(
      described.isEmpty() ? QString() : QStringLiteral("Space shows the description under the picture"));
  Image1->setToolTip(described.isEmpty() ? QStringLiteral("Question exhibit")
                                         : QStringLiteral("Click to show or hide the description"));
  if (!described.isEmpty()) Image1->setFocusPolicy(Qt::StrongFocus);
  lbExhibitText->setText(described);
  const QSize size = Image1->Picture().size();
  Image1->resize(size);
  const bool wide = size.width() > 2 * size.height();
  Image1->move(wide ? 8 : ScrollBox1->width() - size.width() - 24, 8);
  int textHeight = 0;
  if (ExhibitTextShown_ && !described.isEmpty()) {
    const int width = std::max(size.width(), 120);
    textHeight = lbExhibitText->heightForWidth(width) + 4;
    lbExhibitText->setGeometry(wide ? 8 : Image1->x() + size.width() - width, 8 + size.height() + 4, width,
                               textHeight - 4);
    lbExhibitText->show();
  }
  if (wide) LayoutTop = size.height() + textHeight + LayoutTop + 6;
  Image1->show();
}

int TForm1::AvailableWidth(int left) const {
  int w = ScrollBox1->width() - left - 24;
  const int exhibitHeight = Image1->height() + (lbExhibitText->isHidden() ? 0 : lbExhibitText->height() + 4);
  const int exhibitWidth = std::max(Image1->width(), lbExhibitText->isHidden() ? 0 : lbExhibitText->width());
  if (!Image1->isHidden() && Image1->x() > 8 && exhibitHeight + 16 > LayoutTop) w -= exhibitWidth + 8;
  return std::max(w, 1);
}

void TForm1::ShowAnswers() {
  const int q = ShownQuestion_;
  const TQuestion& question = QuestionSet->Questions[q];
  if (!Session.AnswerOrderBuilt(q)) BuildAnswerOrder(AnswersInUse(question));
  const bool show = AnswersShown || ReviewMode;
  const AnswerMask correct = Session.QuestionStates[q].DisplayCorrectMask;
  for (int k = 1; k <= AnswerCount; ++k) {
    const QString text =
        FromSetText(question.Answers[Session.AnswerInSlot(q, k)], QuestionSet->Encoding == TTextEncoding::Utf8);
    // The key is stated in words as well as by colour and weight.
    const bool isCorrect = show && !text.isEmpty() && (Tag(cbl[k - 1]) & correct) != 0;
    // Bold before the height is measured: the key's weight may need more.
    SetBold(cbl[k - 1], isCorrect);
    PlaceAnswerRow(rb[k - 1], cb[k - 1], isCorrect ? text + CorrectMark() : text, cbl[k - 1], id[k - 1]);
    NameAnswerRow(k - 1, text, isCorrect);
  }
}

void TForm1::PlaceAnswerRow(QRadioButton* radio, QCheckBox* check, const QString& text, QLabel* textLabel,
                            QLabel* letterLabel) {
  if (text.isEmpty()) {
    radio->hide();
    check->hide();
    textLabel->hide();
    letterLabel->hide();
    return;
  }
  QWidget* control = radio;
  if (SingleAnswer()) {
    check->hide();
  } else {
    radio->hide();
    control = check;
  }
  control->move(8, LayoutTop);
  control->show();
  const int width = AvailableWidth(TextLeft());
  textLabel->setText(text);
  textLabel->setGeometry(TextLeft(), control->y() + 2, width, textLabel->heightForWidth(width));
  textLabel->show();
  letterLabel->setGeometry(32, textLabel->y(), LetterWidth_, textLabel->height());
  letterLabel->show();
  LayoutTop = textLabel->y() + textLabel->height() + 10;
}

void TForm1::ShowNotes() {
  const bool show = AnswersShown || ReviewMode;
  Line2->setVisible(show);
  lbReference->setVisible(show);
  if (show) {
    Line2->setGeometry(8, LayoutTop, AvailableWidth(8), 3);
    LayoutTop = Line2->y() + 10;
    const int width = AvailableWidth(TextLeft());
    lbReference->setText(QStringLiteral("Notes: ") +
                         FromSetText(QuestionSet->GetCurrent().Remarks, QuestionSet->Encoding == TTextEncoding::Utf8));
    lbReference->setGeometry(8, LayoutTop, width, lbReference->heightForWidth(width));
    LayoutTop = lbReference->height() + LayoutTop + 10;
  }
  ApplyTextColours();
}

void TForm1::ApplyTextColours() {
  // The design's black and red read on the design's light screen; on the
  // colour the administrator picked they give way to colours that keep the
  // text measure, and the correct answers are bold as well, so they stand
  // out by more than their colour.
  const bool show = AnswersShown || ReviewMode;
  const TRgb design = Rgb(palette().color(QPalette::WindowText));
  const TRgb screen = Rgb(ScrollContents->palette().color(QPalette::Window));
  const QColor normal = ToQColor(ReadableText(screen, design));
  const QColor accent = ToQColor(ReadableAccent(screen, {255, 0, 0}));
  const AnswerMask correct = ShownQuestion_ > 0 ? Session.QuestionStates[ShownQuestion_].DisplayCorrectMask : 0;
  for (QLabel* label : ScrollContents->findChildren<QLabel*>()) {
    const bool marked = show && (Tag(label) & correct) != 0;
    SetTextColour(label, marked ? accent : normal);
    SetBold(label, marked);
  }
  for (int k = 0; k < AnswerCount; ++k) SetBold(id[k], show && (Tag(cbl[k]) & correct) != 0);
  const QColor header = ToQColor(ReadableText(Rgb(Panel2->palette().color(QPalette::Window)), design));
  for (QLabel* label : {lbTitle, lbTime}) SetTextColour(label, header);
  {
    QPalette p = FocusMark_->palette();
    p.setColor(QPalette::WindowText, normal);
    FocusMark_->setPalette(p);
  }
  // The chosen answer's row is shown inverted: text in the screen colour on
  // the text colour, as readable as the rest and plain on any screen.
  const QColor screenColour = ToQColor(screen);
  for (int k = 0; k < AnswerCount; ++k) {
    const bool chosen = !cbl[k]->isHidden() && (SingleAnswer() ? rb[k]->isChecked() : cb[k]->isChecked());
    for (QLabel* label : {static_cast<QLabel*>(cbl[k]), static_cast<QLabel*>(id[k])}) {
      if (label->autoFillBackground() != chosen) label->setAutoFillBackground(chosen);
      if (!chosen) continue;
      QPalette p = label->palette();
      p.setColor(QPalette::Window, label->palette().color(QPalette::WindowText));
      p.setColor(QPalette::WindowText, screenColour);
      label->setPalette(p);
    }
  }
}

void TForm1::PlaceFocusMark() {
  QWidget* focused = QApplication::focusWidget();
  for (int k = 0; k < AnswerCount; ++k) {
    QWidget* control = SingleAnswer() ? static_cast<QWidget*>(rb[k]) : cb[k];
    if (focused != control || control->isHidden()) continue;
    FocusMark_->setGeometry(control->geometry().united(cbl[k]->geometry()).adjusted(-4, -3, 4, 3));
    FocusMark_->show();
    FocusMark_->raise();
    return;
  }
  FocusMark_->hide();
}

QString TForm1::CorrectMark() { return QStringLiteral("   \u2713 correct"); }

void TForm1::NameAnswerRow(int k, const QString& text, bool correct) {
  // A screen reader hears the letter and the text with the button, not a
  // nameless button followed by loose labels.
  const QString name = QString(QChar('A' + k)) + QStringLiteral(". ") + text;
  const QString description = correct ? QStringLiteral("correct answer") : QString();
  for (QAbstractButton* b : {static_cast<QAbstractButton*>(rb[k]), static_cast<QAbstractButton*>(cb[k])}) {
    b->setAccessibleName(name);
    b->setAccessibleDescription(description);
  }
  QWidget* control = SingleAnswer() ? static_cast<QWidget*>(rb[k]) : cb[k];
  cbl[k]->setBuddy(control);
  id[k]->setBuddy(control);
}

void TForm1::Announce(QLabel* label) {
  // A screen reader says the new text of a label that tells where the
  // candidate is or how they did.
  QAccessibleEvent event(label, QAccessible::NameChanged);
  QAccessible::updateAccessibility(&event);
}

void TForm1::AnnounceTime() {
  // Every second would drown the question being read; whole minutes, and
  // the moment the clock starts, are announced.
  if (lbTime->accessibleName().isEmpty() || TimerSeconds % 60 == 0) {
    lbTime->setAccessibleName(lbTime->text());
    QAccessibleEvent event(lbTime, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
  }
}

// ---------------------------------------------------------------- clock

void TForm1::Timer1Timer() {
  if (!Taking_) return;
  if (ElapsedClock()) {
    ++TimerSeconds;
    lbTime->setText(QStringLiteral("Elapsed time") + QString::fromStdString(FormatTime(TimerSeconds)));
    lbTime->adjustSize();
    if (TimerSeconds % 5 == 0) JournalNow();
    AnnounceTime();
    return;
  }
  --TimerSeconds;
  if (TimerSeconds % 5 == 0) JournalNow();
  lbTime->setText(QStringLiteral("Time left") + QString::fromStdString(FormatTime(TimerSeconds)));
  lbTime->adjustSize();
  AnnounceTime();
  if (TimerSeconds < 1) {
    Timer1->stop();
    TimeRanOut_ = true;
    EndedByClock_ = true;
    ShowMessage(QStringLiteral("Allocated test time expired"));
    EndTest(/*ask=*/false);
  }
}

// ---------------------------------------------------------------- commands

void TForm1::btnNextClick() {
  StoreResponse();
  if (Session.CurrentPosition < Session.PositionCount) GoToPosition(Session.CurrentPosition + 1);
  if (!ListBox1->isHidden()) btnGotoClick();
}

void TForm1::btnPreviousClick() {
  StoreResponse();
  if (Session.CurrentPosition > 1) GoToPosition(Session.CurrentPosition - 1);
  if (!ListBox1->isHidden()) btnGotoClick();
}

void TForm1::btnGotoClick() {
  const bool opening = ListBox1->isHidden();
  if (opening) {
    ListBox1->show();
    PlaceRegions();
  }
  StoreResponse();
  // The list is read again each time: the question answered or marked
  // since says so.
  GotoFilling_ = true;
  ListBox1->clear();
  for (const std::string& item : Session.GotoItems()) ListBox1->addItem(FromAnsi(item));
  ListBox1->setCurrentRow(Session.CurrentPosition);
  GotoFilling_ = false;
  ShowCurrentQuestion();
  if (opening) ListBox1->setFocus();
}

void TForm1::CloseGotoList() {
  ListBox1->hide();
  PlaceRegions();
  StoreResponse();
  ShowCurrentQuestion();
  btnGoto->setFocus();
}

void TForm1::ListBox1Click() {
  const int index = ListBox1->currentRow();
  if (index <= 0) return;
  StoreResponse();
  GoToPosition(index);
}

void TForm1::ListBox1DblClick() {
  const int index = ListBox1->currentRow();
  if (index <= 0) return;
  ListBox1->hide();
  PlaceRegions();
  StoreResponse();
  GoToPosition(index);
}

void TForm1::btnMarkClick() {
  const int q = CurrentQuestionNumber();
  Session.QuestionStates[q].Marked = !Session.QuestionStates[q].Marked;
  StoreResponse();
  JournalNow();
  ShowCurrentQuestion();
  if (!ListBox1->isHidden()) btnGotoClick();
}

void TForm1::btnViewClick() {
  if (!AnswersShown) {
    AnswersShown = true;
    btnView->setText(QStringLiteral("&Hide"));
    SavedButtonStates = {btnNext->isEnabled(), btnPrevious->isEnabled(), btnEndReview->isEnabled(),
                         btnClose->isEnabled()};
    for (QPushButton* b : {btnNext, btnPrevious, btnGoto, btnEndReview, btnClose}) b->setEnabled(false);
    if (!ListBox1->isHidden()) {
      ListBox1->hide();
      PlaceRegions();
    }
  } else {
    AnswersShown = false;
    btnView->setText(QStringLiteral("&Answer"));
    btnNext->setEnabled(SavedButtonStates[0]);
    btnPrevious->setEnabled(SavedButtonStates[1]);
    btnEndReview->setEnabled(SavedButtonStates[2]);
    btnClose->setEnabled(SavedButtonStates[3]);
    btnGoto->setEnabled(true);
  }
  StoreResponse();
  ShowCurrentQuestion();
}

void TForm1::btnEndReviewClick() { EndTest(/*ask=*/true); }

void TForm1::EndTest(bool ask) {
  if (Taking_ && ask && SetSettings_.ExamMode) {
    StoreResponse();
    const int unanswered = Session.Unanswered();
    const QString text = QStringLiteral("%1 question%2 unanswered and %3 marked. End the test now ?")
                             .arg(unanswered)
                             .arg(unanswered == 1 ? QString() : QStringLiteral("s"))
                             .arg(Session.MarkedCount());
    if (MessageDlg(text, TMsgDlgType::Confirmation, mbYes | mbNo, mbNo) != mrYes) return;
    // The clock may have run out while the question was open.
    if (!Taking_) return;
  }
  if (Taking_) {
    Timer1->stop();
    Taking_ = false;
    btnEndReview->setText(QStringLiteral("&Review"));
    for (QPushButton* b : {btnView, btnNext, btnPrevious, btnGoto, btnMark}) b->setEnabled(false);
    if (!ListBox1->isHidden()) {
      ListBox1->hide();
      PlaceRegions();
    }
    btnClose->setEnabled(true);
    btnSave->setEnabled(true);
    StoreResponse();
    // Before the positions are cut down to the review list.
    JournalNow();
    UpdateScore(true);
    return;
  }
  if (ReviewMode || !QuestionSet) return;
  btnEndReview->setEnabled(false);
  ReviewMode = true;
  FitToFont();
  GoToPosition(1);
}

void TForm1::btnSaveClick() {
  if (!QuestionSet) return;
  const bool elapsed = ElapsedClock();
  TimerSeconds = TimeTaken(elapsed, elapsed ? 0 : CountdownMinutes(), TimerSeconds);
  btnSave->setEnabled(false);
  // Answers changed during the review count, the one on screen included:
  // the score and the list of wrong answers are written as they stand now,
  // and agree with each other.
  StoreResponse();
  UpdateScore(false);
  const TScore score = Session.Score();
  const QString date = QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat);
  // The score as it always was, without the pass verdict the window shows.
  const std::vector<std::string> lines = ResultLines(ToAnsi(date), ToAnsi(QString::fromStdString(SetFileName_)),
                                                     TimerSeconds, ScoreText(score), Session.IncorrectList());
  QStringList memoLines;
  for (const std::string& line : lines) memoLines << FromAnsi(line);

  // The detail log and the gradebook share the moment and the test id,
  // which ties a gradebook line to its answers.
  TDetailTest test;
  test.DateTime = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toStdString();
  test.TestId = NewTestId();
  test.SetFile = SetFileName_;
  test.Fingerprint = SetFingerprint(*QuestionSet);
  test.QuestionsInSet = Session.QuestionCount();
  test.Outcomes = Session.Outcomes(*QuestionSet);
  test.CandidateName = CandidateName;
  test.CandidateId = CandidateId;
  if (Session.ScoreAll) test.ScoreRule = ScoreRuleAll;
  TGradebookEntry entry;
  entry.DateTime = test.DateTime;
  entry.CandidateName = CandidateName;
  entry.CandidateId = CandidateId;
  entry.SetFile = SetFileName_;
  entry.Fingerprint = test.Fingerprint;
  entry.QuestionsSeen = static_cast<int>(test.Outcomes.size());
  entry.QuestionsInSet = test.QuestionsInSet;
  entry.Correct = score.Correct;
  entry.Percent = score.Percent;
  entry.SecondsTaken = TimerSeconds;
  entry.Timer = elapsed ? TimerElapsed : TimerCountdown;
  entry.Ended = TimeRanOut_ || EndedByClock_ ? EndedTimeUp : EndedEarly;
  entry.Result = PassResult(score.Percent, PassMark);
  entry.TestId = test.TestId;
  entry.ScoreRule = test.ScoreRule.empty() ? ScoreRuleSeen : test.ScoreRule;
  // How often an exam lost the focus; not counted outside exam mode.
  entry.FocusLost = SetSettings_.ExamMode ? FocusLosses_ : -1;
  std::vector<TLogAddition> others;
  if (!test.Outcomes.empty())
    others.push_back({ProgramPath(DetailLogRelative), DetailLogRecords(test, false), DetailLogRecords({}, true)});
  others.push_back({ProgramPath(GradebookRelative), GradebookRecord(entry, false), GradebookFileStart()});
  ResultsForm->SaveTest(memoLines, std::move(others));
  // Saved: nothing is left to take up again.
  Journal_.reset();
}

void TForm1::btnCloseClick() {
  CloseAllowed = true;
  close();
}

void TForm1::btnHelpClick() { ShowHelpPage("run.htm"); }

void TForm1::cblClick(int k) {
  QCheckBox* check = cb[k - 1];
  check->setChecked(!check->isChecked());
  SetRadio(rb[k - 1], !rb[k - 1]->isChecked());
  if (Taking_) JournalNow();
}

void TForm1::reject() { close(); }

void TForm1::RestoreAfterTest() {
  Journal_.reset();
  Resume_.reset();
  if (ViewHiddenForSet_) btnView->show();
  ViewHiddenForSet_ = false;
  setWindowState(windowState() & ~Qt::WindowFullScreen);
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
  // The program as a whole went to the background (another program, a task
  // switch); its own message boxes do not count.
  if (event->type() == QEvent::ApplicationStateChange && watched == qApp) {
    const bool active = static_cast<QApplicationStateChangeEvent*>(event)->applicationState() == Qt::ApplicationActive;
    if (!active && AppActive_ && Taking_ && SetSettings_.ExamMode) {
      ++FocusLosses_;
      JournalNow();
    }
    AppActive_ = active;
  }
  if (watched == Image1 && !lbExhibitText->text().isEmpty()) {
    const bool click =
        event->type() == QEvent::MouseButtonPress && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
    const int key = event->type() == QEvent::KeyPress ? static_cast<QKeyEvent*>(event)->key() : 0;
    if (click || key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) {
      ToggleExhibitText();
      return true;
    }
  }
  if (event->type() == QEvent::KeyPress && isVisible()) {
    auto* w = qobject_cast<QWidget*>(watched);
    if (w && w->window() == this) {
      auto* k = static_cast<QKeyEvent*>(event);
      if (HandleGotoKey(watched, k->key())) return true;
      if (HandleTestKey(watched, k->key(), k->modifiers())) return true;
    }
  }
  return TForm::eventFilter(watched, event);
}

void TForm1::ToggleExhibitText() {
  if (lbExhibitText->text().isEmpty()) return;
  ExhibitTextShown_ = !ExhibitTextShown_;
  StoreResponse();
  const int scrolled = ScrollBox1->verticalScrollBar()->value();
  ShowQuestion(ShownQuestion_, false);
  ScrollBox1->verticalScrollBar()->setValue(scrolled);
}

bool TForm1::HandleGotoKey(QObject* watched, int key) {
  if (ListBox1->isHidden()) return false;
  if (key == Qt::Key_Escape) {
    CloseGotoList();
    return true;
  }
  if ((key == Qt::Key_Return || key == Qt::Key_Enter) && (watched == ListBox1 || watched == ListBox1->viewport())) {
    if (ListBox1->currentRow() <= 0) return true;
    ListBox1DblClick();
    btnGoto->setFocus();
    return true;
  }
  return false;
}

bool TForm1::HandleTestKey(QObject* watched, int key, Qt::KeyboardModifiers modifiers) {
  if (!QuestionSet || ShownQuestion_ == 0) return false;
  // Alt and Ctrl combinations are the buttons' mnemonics and shortcuts; the
  // question list keeps its own keys for moving and finding.
  if (modifiers & (Qt::AltModifier | Qt::ControlModifier | Qt::MetaModifier)) return false;
  const bool inList = watched == ListBox1 || watched == ListBox1->viewport();
  auto click = [](QPushButton* b) {
    if (!b->isEnabled() || b->isHidden()) return false;
    b->click();
    return true;
  };
  // In the list the arrows and page keys move through it; letters still tick.
  if (!inList) switch (key) {
      case Qt::Key_Left:
      case Qt::Key_PageUp:
        return click(btnPrevious);
      case Qt::Key_Right:
      case Qt::Key_PageDown:
        return click(btnNext);
      default:
        break;
    }
  int row = 0;
  if (key >= Qt::Key_A && key <= Qt::Key_H) row = key - Qt::Key_A + 1;
  if (key >= Qt::Key_1 && key <= Qt::Key_8) row = key - Qt::Key_1 + 1;
  if (row == 0 || cbl[row - 1]->isHidden()) return false;
  cblClick(row);
  return true;
}

void TForm1::closeEvent(QCloseEvent* e) {
  if (Abandoned_) {
    RestoreAfterTest();
    e->accept();
    QDialog::done(mrCancel);
    return;
  }
  // Once the test has ended the title bar closes the window like the Close
  // button does; only a test still running refuses.
  if (!CloseAllowed && Taking_) {
    e->ignore();
    MessageDlg(QStringLiteral("End Test and select Close button to exit"), TMsgDlgType::Warning, mbOK);
    return;
  }
  if (btnSave->isEnabled() &&
      MessageDlg(QStringLiteral("Do you want to save the results ?"), TMsgDlgType::Confirmation, mbYes | mbNo) == mrYes)
    btnSaveClick();
  Timer1->stop();
  QuestionSet.reset();
  ShownQuestion_ = 0;
  CloseAllowed = false;
  RestoreAfterTest();
  e->accept();
  QDialog::done(mrOk);
}

}  // namespace proctorium
