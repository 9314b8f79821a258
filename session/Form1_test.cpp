#include <QApplication>
#include <QtTest>
#include <functional>
#include <limits>

#include "app/ModalSeam.h"
#include "app/core/Contrast.h"
#include "app/core/FileIO.h"
#include "app/shell/StartForm.h"
#include "editor/AddEditForm.h"
#include "session/Form1.h"
#include "session/ResultsForm.h"
#include "session/core/DetailLog.h"
#include "session/core/RandomSource.h"
#include "testkit/EditorHarness.h"
#include "testkit/MessageScript.h"
#include "testkit/ModalScript.h"
#include "testkit/TempProgramFolder.h"

using namespace proctorium;

namespace {

const QString Expired = QStringLiteral("Allocated test time expired");

// A program folder holding Tests/Quiz.qst, and the scripts that stand in for
// the person at the keyboard.
struct TRun {
  testkit::TTempProgramFolder Folder;
  testkit::TMessageScript Messages;
  testkit::TModalScript Modals;

  explicit TRun(const TQuestionSet& set, const TOptionsRecord& options = TOptionsRecord()) : Folder(options) {
    Folder.WriteSet("Quiz.qst", set);
  }
  // Queues the next test window for drive to work.
  void Window(std::function<void(TForm1*)> drive) {
    Modals.Expect("Form1", [drive](QDialog* d) {
      drive(static_cast<TForm1*>(d));
      return d->result();
    });
  }
  // Ends the test, declines to save and closes the window.
  void Discard(TForm1* f) {
    f->btnEndReview->click();
    Messages.Answer(mrNo);
    f->btnClose->click();
  }
  // Shows the start window on the set and presses Start `times` times; with
  // 0 the test window is opened directly instead.
  void Start(int times = 1) {
    Folder.CreateForms();
    StartForm->show();
    for (int i = 0; i < StartForm->FileListBox1->count(); ++i)
      if (StartForm->FileListBox1->item(i)->text() == "Quiz.qst") StartForm->FileListBox1->SetItemIndex(i);
    if (times == 0) ExecModal(Form1);
    for (int i = 0; i < times; ++i) StartForm->btnStartClick();
    VERIFY_MODALS(Modals);
    VERIFY_MESSAGES(Messages);
  }
  QString Results() const {
    std::string bytes;
    ReadWholeFile(Folder.Path("Tests/results.txt"), bytes);
    return QString::fromStdString(bytes);
  }
};

TOptionsRecord Countdown(int minutes) {
  TOptionsRecord o;
  o.TimeMode = TTimeMode::Countdown;
  o.CountdownMinutes = minutes;
  return o;
}

QStringList SlotTexts(TForm1* f) {
  QStringList texts;
  for (QLabel* l : f->cbl)
    if (!l->isHidden()) texts << l->text();
  return texts;
}

// A correct answer shown: bold and in a red that reads on the screen colour.
bool Red(QLabel* l) {
  const QColor c = l->palette().color(QPalette::WindowText);
  return l->font().bold() && c.red() > 2 * std::max(c.green(), c.blue());
}

}  // namespace

class Form1Test : public QObject {
  Q_OBJECT
 private slots:
  void init() { SessionRandom().Pin(1234); }
  void cleanup() { SessionRandom().Unpin(); }

  void wholeTestFromStartToSavedResults() {
    TRun r(testkit::MakeSet(3));
    r.Window([](TForm1* f) {
      QCOMPARE(f->windowTitle(), QString("Proctorium [Quiz.qst]"));
      QCOMPARE(f->lbTitle->text(), QString("Question 1 of 3"));
      QCOMPARE(f->lbTime->text(), QString("Elapsed time: 00:00:01"));
      QCOMPARE(f->lbQuestion->text(), QString("Question 1"));
      QCOMPARE(SlotTexts(f), QStringList({"Answer 1.A", "Answer 1.B", "Answer 1.C", "Answer 1.D"}));
      QVERIFY(!f->btnPrevious->isEnabled() && !f->btnClose->isEnabled() && !f->btnSave->isEnabled());
      f->rb[0]->click();  // right
      f->btnNext->click();
      QCOMPARE(f->lbResults->text(), QString("1 of 1 Correct [100%]"));
      f->rb[2]->click();  // wrong
      f->btnNext->click();
      QVERIFY(!f->btnNext->isEnabled());
      // Answers are chosen by their text too; the chosen one clicked again is cleared.
      QTest::mouseClick(f->cbl[1], Qt::LeftButton);
      QTest::mouseClick(f->cbl[1], Qt::LeftButton);
      QVERIFY(!f->rb[1]->isChecked());
      QTest::mouseClick(f->cbl[3], Qt::LeftButton);
      QTest::mouseClick(f->cbl[0], Qt::LeftButton);  // right
      QVERIFY(f->rb[0]->isChecked() && !f->rb[3]->isChecked());
      f->btnEndReview->click();
      QCOMPARE(f->lbResults->text(), QString("2 of 3 Correct [66%]"));
      QVERIFY(!f->Timer1->isActive());
      QCOMPARE(f->btnEndReview->text(), QString("&Review"));
      f->btnSave->click();
      QVERIFY(!f->btnSave->isEnabled());
      f->btnClose->click();
    });
    r.Start();
    QVERIFY(!Form1->isVisible());
    QVERIFY(!Form1->QuestionSet);
    const QString today = QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat);
    QCOMPARE(r.Results(), today +
                              "  Quiz.qst     Time taken: 00:00:01\r\n"
                              "   2 of 3 Correct [66%]  Incorrect; 2\r\n"
                              "\r\n");
    ResultsForm->LoadLog();
    QCOMPARE(ResultsForm->Lines().size(), 3);
  }

  void answerOrderIsKeptWithinATestAndDrawnAfreshInTheNext() {
    TQuestionSet set = testkit::MakeSet(2);
    set.Questions[1].RandomizeAnswers = 1;
    for (int a = 0; a < 8; ++a) set.Questions[1].Answers[a] = std::string(1, char('A' + a));
    TRun r(set);
    QList<QStringList> shown;
    for (int run = 0; run < 2; ++run)
      r.Window([&](TForm1* f) {
        shown << SlotTexts(f);
        f->btnNext->click();
        f->btnPrevious->click();
        QCOMPARE(SlotTexts(f), shown.last());
        QCOMPARE(f->id[7]->text(), QString("H."));  // letters belong to the rows
        r.Discard(f);
      });
    r.Start(2);
    QCOMPARE(r.Results(), QString());  // saving declined
    QCOMPARE(shown.size(), 2);
    QVERIFY(shown[0] != shown[1]);
    QVERIFY(shown[0] != QStringList({"A", "B", "C", "D", "E", "F", "G", "H"}));
  }

  void endedAfterFourOfTenThenReviewed() {
    TRun r(testkit::MakeSet(10));
    r.Window([](TForm1* f) {
      for (int i = 1; i <= 4; ++i) {
        f->rb[i == 3 ? 1 : 0]->click();  // A is right
        if (i < 4) f->btnNext->click();
      }
      f->btnEndReview->click();
      QCOMPARE(f->lbResults->text(), QString("3 of 4 Correct [75%]"));
      for (QPushButton* b : {f->btnView, f->btnNext, f->btnPrevious, f->btnGoto, f->btnMark}) QVERIFY(!b->isEnabled());
      QVERIFY(f->btnClose->isEnabled() && f->btnSave->isEnabled());
      f->btnEndReview->click();  // Review
      QVERIFY(!f->btnEndReview->isEnabled());
      QCOMPARE(f->lbTitle->text(), QString("Review 1 of 1 \u2014 Question 3"));
      QCOMPARE(f->lbQuestion->text(), QString("Question 3"));
      QVERIFY(!f->btnNext->isEnabled() && !f->btnPrevious->isEnabled());
      QCOMPARE(f->lbReference->text(), QString("Notes: "));
      QVERIFY(Red(f->cbl[0]) && !Red(f->cbl[1]));
      f->btnSave->click();
      f->btnClose->click();
    });
    r.Start();
    QVERIFY(r.Results().contains("   3 of 4 Correct [75%]  Incorrect; 3\r\n"));
  }

  void answersChangedInReviewAreSaved() {
    TRun r(testkit::MakeSet(2));
    r.Window([](TForm1* f) {
      f->btnNext->click();
      f->rb[0]->click();
      f->btnEndReview->click();
      // Resizing between End Test and Review must not move the ticks on
      // screen into another question.
      f->resize(700, 500);
      QApplication::processEvents();
      f->btnEndReview->click();
      QCOMPARE(f->lbTitle->text(), QString("Review 1 of 1 \u2014 Question 1"));
      f->rb[0]->click();
      f->btnSave->click();
      f->btnClose->click();
    });
    r.Start();
    QVERIFY(r.Results().contains("   2 of 2 Correct [100%]  \r\n"));
  }

  void answerShownAndHidden() {
    TQuestionSet set = testkit::MakeSet(2);
    set.Questions[1].AnswerType = TAnswerType::Multiple;
    set.Questions[1].CorrectMask = 2 | 4;
    set.Questions[1].Remarks = "See chapter 2";
    TRun r(set);
    r.Window([&](TForm1* f) {
      f->btnView->click();
      QCOMPARE(f->btnView->text(), QString("&Hide"));
      QCOMPARE(f->lbReference->text(), QString("Notes: See chapter 2"));
      QVERIFY(!Red(f->cbl[0]) && Red(f->cbl[1]) && Red(f->cbl[2]));
      for (QPushButton* b : {f->btnNext, f->btnGoto, f->btnEndReview, f->btnClose}) QVERIFY(!b->isEnabled());
      QVERIFY(f->btnMark->isEnabled());
      f->btnView->click();
      QCOMPARE(f->btnView->text(), QString("&Answer"));
      QVERIFY(f->lbReference->isHidden() && !Red(f->cbl[1]));
      QVERIFY(f->btnNext->isEnabled() && f->btnEndReview->isEnabled() && !f->btnPrevious->isEnabled());
      r.Discard(f);
    });
    r.Start();
  }

  void gotoListAndMarks() {
    TRun r(testkit::MakeSet(6));
    r.Window([&](TForm1* f) {
      for (int i = 0; i < 4; ++i) f->btnNext->click();
      f->btnMark->click();
      QCOMPARE(f->lbTitle->text(), QString("Question 5 of 6 (Marked)"));
      QCOMPARE(f->btnMark->text(), QString("&Unmark"));
      const int wide = f->ScrollBox1->width();
      f->btnGoto->click();
      QCOMPARE(f->ListBox1->count(), 7);
      QCOMPARE(f->ListBox1->item(5)->text(), QString(" 5 Marked"));
      QCOMPARE(f->ListBox1->currentRow(), 5);
      // The list takes its design width, or more where its heading needs it.
      QCOMPARE(f->ScrollBox1->width(), wide - f->ListBox1->width());
      QVERIFY(f->ListBox1->width() >= 100);
      QVERIFY(f->ListBox1->fontMetrics().horizontalAdvance("Select question:") < f->ListBox1->viewport()->width());
      f->ListBox1->setCurrentRow(2);
      f->ListBox1Click();
      QCOMPARE(f->lbTitle->text(), QString("Question 2 of 6"));
      QVERIFY(!f->ListBox1->isHidden());  // a single click keeps the list open
      f->ListBox1->setCurrentRow(5);
      f->ListBox1DblClick();
      f->btnMark->click();
      f->btnGoto->click();
      QCOMPARE(f->ListBox1->item(5)->text(), QString(" 5 "));
      f->btnEndReview->click();
      QVERIFY(f->ListBox1->isHidden());
      r.Messages.Answer(mrNo);
      f->btnClose->click();
    });
    r.Start();
  }

  void countdownRunsOutAndEndsTheTest() {
    TRun r(testkit::MakeSet(3), Countdown(1));
    r.Modals.Expect("TimerValue", [](QDialog* d) { return testkit::TModalScript::Click(d, "btnOk"); });
    r.Window([&](TForm1* f) {
      QCOMPARE(f->lbTime->text(), QString("Time left: 00:00:59"));
      for (int i = 0; i < 58; ++i) f->Timer1Timer();
      QCOMPARE(f->lbTime->text(), QString("Time left: 00:00:01"));
      QVERIFY(f->Taking());
      f->btnNext->click();
      r.Messages.Expect(Expired, TMsgDlgType::Custom, mbOK);
      f->Timer1Timer();
      QCOMPARE(f->lbTime->text(), QString("Time left: 00:00:00"));
      QVERIFY(!f->Taking() && !f->Timer1->isActive());
      QCOMPARE(f->lbResults->text(), QString("0 of 2 Correct [0%]"));
      f->Timer1Timer();  // a stray tick after the end changes nothing
      QCOMPARE(f->lbTime->text(), QString("Time left: 00:00:00"));
      f->btnSave->click();
      f->btnClose->click();
    });
    r.Start();
    QVERIFY(r.Results().contains("  Quiz.qst     Time taken: 00:01:00\r\n"));
  }

  void saveAddsTheAnswersOfEachQuestionSeenToTheDetailLog() {
    TRun r(testkit::MakeSet(3));
    for (int run = 0; run < 2; ++run)
      r.Window([&](TForm1* f) {
        f->rb[0]->setChecked(true);  // answer A, right
        f->btnNext->click();
        f->rb[1]->setChecked(true);  // answer B, wrong; question 3 is never shown
        f->btnEndReview->click();
        f->btnSave->click();
        f->btnClose->click();
      });
    r.Start(2);
    std::string bytes;
    QVERIFY(ReadWholeFile(r.Folder.Path("Tests/results-detail.csv"), bytes));
    QCOMPARE(QString::fromStdString(bytes).count(QString::fromStdString(std::string(DetailLogHeader()))), 1);
    const std::vector<TDetailTest> tests = ReadDetailLog(bytes);
    QCOMPARE(tests.size(), size_t(2));
    QVERIFY(tests[0].TestId != tests[1].TestId);
    for (const TDetailTest& t : tests) {
      QCOMPARE(t.SetFile, std::string("Quiz.qst"));
      QCOMPARE(t.QuestionsInSet, 3);
      QCOMPARE(t.Outcomes.size(), size_t(2));
      QVERIFY((t.Outcomes[0] == TQuestionOutcome{1, 0b1111, 0b0001, 0b0001, true}));
      QVERIFY((t.Outcomes[1] == TQuestionOutcome{2, 0b1111, 0b0010, 0b0001, false}));
    }
  }

  // Limits the minutes box refuses but an options file can still hold.
  void limitFromTheOptionsFile_data() {
    QTest::addColumn<int>("minutes");
    QTest::addColumn<QString>("time");
    QTest::newRow("0 expires at once") << 0 << "Time left: 00:00:00";
    QTest::newRow("too long for the counter") << std::numeric_limits<int>::max() << "Time left: 596523:13:59";
  }
  void limitFromTheOptionsFile() {
    QFETCH(int, minutes);
    QFETCH(QString, time);
    const bool expires = minutes == 0;
    TRun r(testkit::MakeSet(3), Countdown(minutes));
    if (expires) r.Messages.Expect(Expired, TMsgDlgType::Custom, mbOK);
    r.Window([&](TForm1* f) {
      QCOMPARE(f->Taking(), !expires);
      QCOMPARE(f->Timer1->isActive(), !expires);
      QCOMPARE(f->lbTime->text(), time);
      if (!expires) f->btnEndReview->click();
      QCOMPARE(f->lbResults->text(), QString("0 of 1 Correct [0%]"));
      f->btnSave->click();
      f->btnClose->click();
    });
    // The window is opened directly, as it would be with a limit that
    // slipped past the minutes box.
    r.Start(0);
    QVERIFY(r.Results().contains(expires ? "Time taken: 00:00:00\r\n" : "Time taken: 00:00:01\r\n"));
  }

  void closingIsRefusedWhileTakingAndOffersTheSaveAfter() {
    TRun r(testkit::MakeSet(2));
    r.Window([&](TForm1* f) {
      const QString refusal = "End Test and select Close button to exit";
      r.Messages.Expect(refusal, TMsgDlgType::Warning, mbOK).Expect(refusal, TMsgDlgType::Warning, mbOK);
      f->close();  // title bar
      QTest::keyClick(f, Qt::Key_Escape);
      QVERIFY(f->isVisible() && f->Taking());
      f->btnEndReview->click();
      r.Messages.Expect("Do you want to save the results ?", TMsgDlgType::Confirmation, mbYes | mbNo, mrYes);
      f->close();  // after the end the title bar closes like the button
      QVERIFY(!f->isVisible());
    });
    r.Start();
    QVERIFY(r.Results().contains("   0 of 1 Correct [0%]  Incorrect; 1\r\n"));
  }

  void secondTestStartsClean() {
    TRun r(testkit::MakeSet(3));
    r.Window([](TForm1* f) {
      f->btnMark->click();
      f->rb[1]->click();
      f->btnView->click();
      f->btnView->click();
      f->btnEndReview->click();
      f->btnEndReview->click();  // review
      f->btnSave->click();
      f->btnClose->click();
    });
    r.Window([&](TForm1* f) {
      QVERIFY(f->Taking() && !f->ReviewMode && !f->btnSave->isEnabled() && f->btnMark->isEnabled());
      QCOMPARE(f->btnEndReview->text(), QString("&End Test"));
      QCOMPARE(f->lbResults->text(), QString());
      QCOMPARE(f->lbTitle->text(), QString("Question 1 of 3"));
      QCOMPARE(f->lbTime->text(), QString("Elapsed time: 00:00:01"));
      QVERIFY(!f->rb[1]->isChecked() && f->lbReference->isHidden());
      r.Discard(f);
    });
    r.Start(2);
    ResultsForm->LoadLog();
    QCOMPARE(ResultsForm->Lines().size(), 3);
  }

  void exhibitPlacement_data() {
    QTest::addColumn<int>("w");  // 0: the picture is missing
    QTest::addColumn<bool>("above");
    QTest::newRow("300 x 100 goes above") << 300 << true;
    QTest::newRow("200 x 100 stands at the right") << 200 << false;
    QTest::newRow("missing, reported at each display") << 0 << false;
  }
  void exhibitPlacement() {
    QFETCH(int, w);
    QFETCH(bool, above);
    TQuestionSet set = testkit::MakeSet(2);
    set.Questions[1].ExhibitFile = "pic.bmp";
    TRun r(set);
    const QString missing = "Exhibit not found: pic.bmp";
    if (w)
      r.Folder.WriteBitmap("pic.bmp", w, 100);
    else
      r.Messages.Expect(missing, TMsgDlgType::Information, mbOK).Expect(missing, TMsgDlgType::Information, mbOK);
    r.Window([&](TForm1* f) {
      const int full = f->ScrollBox1->width() - 8 - 24;
      QCOMPARE(f->Image1->isHidden(), w == 0);
      if (w) QCOMPARE(f->Image1->geometry(), QRect(above ? 8 : f->ScrollBox1->width() - w - 24, 8, w, 100));
      QCOMPARE(f->lbQuestion->y(), above ? 8 + 100 + 6 : 8);
      QCOMPARE(f->lbQuestion->width(), above || !w ? full : full - w - 8);
      f->btnNext->click();
      f->btnPrevious->click();
      r.Discard(f);
    });
    r.Start();
  }

  void setWithoutQuestionsIsNotStarted() {
    TRun r(testkit::MakeSet(0, "Only a description"));
    r.Messages.Expect("This question set has no questions, so it cannot be run as a test.", TMsgDlgType::Information,
                      mbOK);
    r.Window([](TForm1* f) {
      QVERIFY(!f->Taking() && !f->Timer1->isActive());
      QTRY_VERIFY(!f->isVisible());
      QVERIFY(f->lbQuestion->text() != QString("Only a description"));
    });
    r.Start();  // what a double click on the list does
    QVERIFY(!StartForm->btnStart->isEnabled());
    QCOMPARE(Form1->result(), int(mrCancel));
  }

  void settingsShapeTheWindowAndAllRightLeavesNothingToReview() {
    TOptionsRecord o;
    o.FontSize = 12;
    o.ScreenColour = 0x00C0FFEE;  // stored as blue-green-red
    o.EnableRunningScore = false;
    TRun r(testkit::MakeSet(2), o);
    r.Window([&](TForm1* f) {
      QCOMPARE(f->font().pointSize(), 12);
      QCOMPARE(f->ScrollContents->palette().color(QPalette::Window), QColor(0xEE, 0xFF, 0xC0));
      f->rb[0]->click();
      f->btnNext->click();
      QCOMPARE(f->lbResults->text(), QString());  // no running score
      f->rb[0]->click();
      f->btnEndReview->click();
      QCOMPARE(f->lbResults->text(), QString("2 of 2 Correct [100%]"));
      QVERIFY(!f->btnEndReview->isEnabled());
      f->btnSave->click();
      f->btnClose->click();
    });
    r.Start();
    QVERIFY(r.Results().contains("\r\n   2 of 2 Correct [100%]  \r\n\r\n"));
  }

  // Every text of the question area keeps the text contrast on the colour
  // picked, with the answers shown too; the correct ones are also bold.
  void textsReadOnAnyScreenColour_data() {
    QTest::addColumn<QColor>("screen");
    for (const QColor& c : {QColor(255, 255, 255), QColor(0, 0, 128), QColor(0, 0, 0), QColor(255, 0, 0),
                            QColor(118, 118, 118), QColor(128, 128, 128), QColor(0, 128, 0), QColor(255, 255, 0)})
      QTest::addRow("%s", qPrintable(c.name())) << c;
  }
  void textsReadOnAnyScreenColour() {
    QFETCH(QColor, screen);
    TOptionsRecord o;
    o.ScreenColour = static_cast<std::uint32_t>(screen.red() | screen.green() << 8 | screen.blue() << 16);
    TQuestionSet set = testkit::MakeSet(1);
    set.Questions[1].Remarks = "See chapter 2";
    TRun r(set, o);
    r.Window([&](TForm1* f) {
      auto check = [&](bool shown) {
        const TRgb back{screen.red(), screen.green(), screen.blue()};
        for (QLabel* l : f->ScrollContents->findChildren<QLabel*>()) {
          if (l->isHidden()) continue;
          const QColor c = l->palette().color(QPalette::WindowText);
          const double ratio = ContrastRatio({c.red(), c.green(), c.blue()}, back);
          QVERIFY2(ratio >= MinTextContrast, qPrintable(l->objectName() + " " + c.name()));
        }
        QCOMPARE(f->cbl[0]->font().bold(), shown);  // answer A is the correct one
        QVERIFY(!f->cbl[1]->font().bold());
      };
      check(false);
      f->btnView->click();
      check(true);
      f->btnView->click();
      r.Discard(f);
    });
    r.Start();
  }

  // A test is taken from the keyboard: letters and digits tick rows, the
  // arrows and page keys move, Alt and the underlined letter press a button.
  void keyboardTakesTheTest() {
    TQuestionSet set = testkit::MakeSet(3);
    set.Questions[2].AnswerType = TAnswerType::Multiple;  // several answers: square boxes
    TRun r(set);
    r.Window([](TForm1* f) {
      // Alt shortcuts go to the active window only.
      f->activateWindow();
      QVERIFY(QTest::qWaitForWindowActive(f));
      QTest::keyClick(f->btnNext, Qt::Key_B);
      QVERIFY(f->rb[1]->isChecked());
      QTest::keyClick(f->ScrollBox1, Qt::Key_1);
      QVERIFY(f->rb[0]->isChecked() && !f->rb[1]->isChecked());
      QTest::keyClick(f->ScrollBox1, Qt::Key_E);  // row E is empty: nothing
      QTest::keyClick(f->rb[0], Qt::Key_Right);
      QCOMPARE(f->lbTitle->text(), QString("Question 2 of 3"));
      QTest::keyClick(f->ScrollBox1, Qt::Key_A);
      QTest::keyClick(f->ScrollBox1, Qt::Key_4);
      QVERIFY(f->cb[0]->isChecked() && f->cb[3]->isChecked() && !f->cb[4]->isChecked());
      QTest::keyClick(f->ScrollBox1, Qt::Key_D);  // ticked again: cleared
      QVERIFY(!f->cb[3]->isChecked());
      QTest::keyClick(f->ScrollBox1, Qt::Key_PageDown);
      QCOMPARE(f->lbTitle->text(), QString("Question 3 of 3"));
      QTest::keyClick(f->ScrollBox1, Qt::Key_PageDown);  // no further: stays
      QTest::keyClick(f->ScrollBox1, Qt::Key_Left);
      QTest::keyClick(f->ScrollBox1, Qt::Key_PageUp);
      QCOMPARE(f->lbTitle->text(), QString("Question 1 of 3"));
      QVERIFY(f->rb[0]->isChecked());  // the tick made by key is kept
      // Alt and the underlined letter press the buttons (the toolkit's
      // mnemonics; the offscreen platform delivers no shortcuts).
      const std::pair<QPushButton*, int> mnemonics[] = {
          {f->btnPrevious, Qt::Key_P},  {f->btnNext, Qt::Key_N},  {f->btnView, Qt::Key_A},
          {f->btnEndReview, Qt::Key_E}, {f->btnMark, Qt::Key_M},  {f->btnGoto, Qt::Key_G},
          {f->btnSave, Qt::Key_S},      {f->btnClose, Qt::Key_C}, {f->btnHelp, Qt::Key_L}};
      for (const auto& [button, key] : mnemonics)
        QCOMPARE(QKeySequence::mnemonic(button->text()), QKeySequence(Qt::ALT | Qt::Key(key)));
      f->btnEndReview->click();
      f->btnEndReview->click();
      QCOMPARE(f->lbTitle->text(), QString("Review 1 of 1 \u2014 Question 3"));  // left unanswered
      f->btnClose->click();
    });
    r.Messages.Answer(mrNo);
    r.Start();
  }

  // Sets copied from Windows often carry their extension in capitals.
  void extensionInAnyCaseRuns_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("upper") << "UPPER.QST";
    QTest::newRow("mixed") << "Mixed.Qst";
  }
  void extensionInAnyCaseRuns() {
    QFETCH(QString, name);
    testkit::TTempProgramFolder folder;
    folder.WriteSet(name.toStdString(), testkit::MakeSet(2));
    folder.CreateForms();
    StartForm->show();
    QCOMPARE(StartForm->FileListBox1->count(), 1);
    QVERIFY(StartForm->btnStart->isEnabled());  // the summary read it
    testkit::TModalScript modals;
    testkit::TMessageScript messages;
    modals.Expect("Form1", [](QDialog* d) {
      auto* f = static_cast<TForm1*>(d);
      STEP_COMPARE(f->lbTitle->text(), QString("Question 1 of 2"));
      f->btnEndReview->click();
      f->btnClose->click();
      return d->result();
    });
    modals.Expect("AddEditForm", [](QDialog* d) {
      auto* e = static_cast<TAddEditForm*>(d);
      STEP_COMPARE(e->QuestionSet.LastIndex, 2);
      e->btnClose->click();
      return d->result();
    });
    messages.Answer(mrNo);
    StartForm->btnStartClick();
    StartForm->btnEditClick();
    VERIFY_MODALS(modals);
    VERIFY_MESSAGES(messages);
  }
};

QTEST_MAIN(Form1Test)
#include "Form1_test.moc"
