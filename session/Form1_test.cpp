#include <QApplication>
#include <QtTest>
#include <functional>
#include <limits>
#include <tuple>

#include "app/ModalSeam.h"
#include "app/core/Contrast.h"
#include "app/core/FileIO.h"
#include "app/shell/StartForm.h"
#include "editor/AddEditForm.h"
#include "session/Form1.h"
#include "session/core/DetailLog.h"
#include "session/core/RandomSource.h"
#include "testkit/EditorHarness.h"
#include "testkit/MessageScript.h"
#include "testkit/ModalScript.h"
#include "testkit/TempProgramFolder.h"

using namespace proctorium;

namespace {

const QString Expired = QStringLiteral("Allocated test time expired");

// Plays a walk through the window: a-h tick or clear that row, < and > move,
// V shows or hides the answers, E ends or reviews, M marks, S saves, C closes.
void Walk(TForm1* f, const char* steps) {
  for (const char* s = steps; *s; ++s) {
    const int row = *s - 'a';
    if (row >= 0 && row < AnswerCount) {
      (f->cb[row]->isHidden() ? static_cast<QAbstractButton*>(f->rb[row]) : f->cb[row])->click();
      continue;
    }
    const std::pair<char, QPushButton*> buttons[] = {{'<', f->btnPrevious},  {'>', f->btnNext}, {'V', f->btnView},
                                                     {'E', f->btnEndReview}, {'M', f->btnMark}, {'S', f->btnSave},
                                                     {'C', f->btnClose}};
    for (const auto& [key, button] : buttons)
      if (key == *s) button->click();
  }
}

// The rows ticked, as letters.
QString Ticks(TForm1* f) {
  QString letters;
  for (int k = 0; k < AnswerCount; ++k)
    if ((!f->rb[k]->isHidden() && f->rb[k]->isChecked()) || (!f->cb[k]->isHidden() && f->cb[k]->isChecked()))
      letters += QChar('A' + k);
  return letters;
}

// A program folder holding one set, Tests/Quiz.qst unless named, and the scripts that stand in for
// the person at the keyboard.
struct TRun {
  testkit::TTempProgramFolder Folder;
  testkit::TMessageScript Messages;
  testkit::TModalScript Modals;

  explicit TRun(const TQuestionSet& set, const TOptionsRecord& options = {}, const std::string& name = "Quiz.qst")
      : Folder(options) {
    Folder.WriteSet(name, set);
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
    Messages.Answer(mrNo);
    Walk(f, "EC");
  }
  // Shows the start window on the set and presses Start `times` times; with
  // 0 the test window is opened directly instead.
  void Start(int times = 1) {
    Folder.CreateForms();
    StartForm->show();
    StartForm->FileListBox1->SetItemIndex(0);
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

// The heading, the score and the buttons on offer, in one line, so that
// each step of a walk is one comparison.
QString State(TForm1* f) {
  QStringList on;
  for (QPushButton* b :
       {f->btnPrevious, f->btnNext, f->btnView, f->btnEndReview, f->btnMark, f->btnGoto, f->btnSave, f->btnClose})
    if (b->isEnabled()) on << b->objectName().mid(3);
  return f->lbTitle->text() + " | " + f->lbResults->text() + " | " + on.join(' ');
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
      QCOMPARE(QStringList({f->windowTitle(), f->lbTime->text(), f->lbQuestion->text()}) + SlotTexts(f),
               QStringList({"Proctorium [Quiz.qst]", "Elapsed time: 00:00:01", "Question 1", "Answer 1.A", "Answer 1.B",
                            "Answer 1.C", "Answer 1.D"}));
      QCOMPARE(State(f), "Question 1 of 3 |  | Next View EndReview Mark Goto");
      Walk(f, "a>");  // right
      QCOMPARE(State(f), "Question 2 of 3 | 1 of 1 Correct [100%] | Previous Next View EndReview Mark Goto");
      Walk(f, "c>");  // wrong
      // Answers are chosen by their text too; the chosen one clicked again is cleared.
      for (int row : {1, 1, 3, 0}) QTest::mouseClick(f->cbl[row], Qt::LeftButton);
      QCOMPARE(Ticks(f), "A");
      QCOMPARE(State(f), "Question 3 of 3 | 1 of 2 Correct [50%] | Previous View EndReview Mark Goto");
      Walk(f, "E");
      QCOMPARE(State(f), "Question 3 of 3 | 2 of 3 Correct [66%] | EndReview Save Close");
      QVERIFY(!f->Timer1->isActive());
      Walk(f, "S");
      QVERIFY(!f->btnSave->isEnabled());  // one entry per test
      Walk(f, "C");
    });
    r.Start();
    QVERIFY(!Form1->isVisible() && !Form1->QuestionSet);
    const QString today = QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat);
    QCOMPARE(r.Results(),
             today + "  Quiz.qst     Time taken: 00:00:01\r\n   2 of 3 Correct [66%]  Incorrect; 2\r\n\r\n");
    // The detail log holds each answer in the set's own letters.
    std::string bytes;
    QVERIFY(ReadWholeFile(r.Folder.Path("Tests/results-detail.csv"), bytes));
    const std::vector<TDetailTest> tests = ReadDetailLog(bytes);
    QCOMPARE(tests.size(), size_t(1));
    QCOMPARE(tests[0].SetFile + " " + std::to_string(tests[0].QuestionsInSet), std::string("Quiz.qst 3"));
    QVERIFY((tests[0].Outcomes == std::vector<TQuestionOutcome>{{1, 0b1111, 0b0001, 0b0001, true},
                                                                {2, 0b1111, 0b0100, 0b0001, false},
                                                                {3, 0b1111, 0b0001, 0b0001, true}}));
  }

  // Ended after four of ten questions, then reviewed; an answer changed in
  // the review is what is saved. Closing is refused while taking; after the
  // end the title bar closes like the button and offers the save.
  void endedAfterFourOfTenThenReviewed() {
    TRun r(testkit::MakeSet(10));
    r.Window([&](TForm1* f) {
      Walk(f, "a>a>b>a");  // A is right
      const QString refusal = "End Test and select Close button to exit";
      r.Messages.Expect(refusal, TMsgDlgType::Warning, mbOK).Expect(refusal, TMsgDlgType::Warning, mbOK);
      f->close();  // title bar
      QTest::keyClick(f, Qt::Key_Escape);
      QVERIFY(f->isVisible() && f->Taking());
      Walk(f, "E");
      QCOMPARE(State(f), "Question 4 of 10 | 3 of 4 Correct [75%] | EndReview Save Close");
      // Resizing between End Test and Review must not move the ticks on
      // screen into another question.
      f->resize(700, 500);
      QApplication::processEvents();
      Walk(f, "E");
      QCOMPARE(State(f), "Review 1 of 1 \u2014 Question 3 | 3 of 4 Correct [75%] | Save Close");
      QCOMPARE(f->lbQuestion->text(), QString("Question 3"));
      QCOMPARE(f->lbReference->text(), QString("Notes: "));
      QVERIFY(Red(f->cbl[0]) && !Red(f->cbl[1]));
      Walk(f, "a");
      r.Messages.Expect("Do you want to save the results ?", TMsgDlgType::Confirmation, mbYes | mbNo, mrYes);
      f->close();
      QVERIFY(!f->isVisible());
    });
    r.Start();
    QVERIFY(r.Results().contains("   4 of 4 Correct [100%]  \r\n"));
  }

  // The settings shape the window; every text of the question area keeps the
  // text contrast on the colour picked, with the answers shown too, and the
  // correct ones are bold. All right leaves nothing to review.
  void settingsAndShownAnswersOnAnyScreenColour_data() {
    QTest::addColumn<QColor>("screen");
    for (const QColor& c : {QColor(255, 255, 255), QColor(0, 0, 128), QColor(0, 0, 0), QColor(255, 0, 0),
                            QColor(118, 118, 118), QColor(128, 128, 128), QColor(0, 128, 0), QColor(255, 255, 0)})
      QTest::addRow("%s", qPrintable(c.name())) << c;
  }
  void settingsAndShownAnswersOnAnyScreenColour() {
    QFETCH(QColor, screen);
    TOptionsRecord o;
    o.ScreenColour = static_cast<std::uint32_t>(screen.red() | screen.green() << 8 | screen.blue() << 16);
    o.FontSize = 12;
    o.EnableRunningScore = false;
    TQuestionSet set = testkit::MakeSet(2);
    set.Questions[1].AnswerType = TAnswerType::Multiple;
    set.Questions[1].CorrectMask = 1 | 4;
    set.Questions[1].Remarks = "See chapter 2";
    TRun r(set, o);
    r.Window([&](TForm1* f) {
      QCOMPARE(f->font().pointSize(), 12);
      QCOMPARE(f->ScrollContents->palette().color(QPalette::Window), screen);
      auto check = [&](bool shown) {
        const TRgb back{screen.red(), screen.green(), screen.blue()};
        for (QLabel* l : f->ScrollContents->findChildren<QLabel*>()) {
          const QColor c = l->palette().color(QPalette::WindowText);
          QVERIFY2(l->isHidden() || ContrastRatio({c.red(), c.green(), c.blue()}, back) >= MinTextContrast,
                   qPrintable(l->objectName() + " " + c.name()));
        }
        for (int a : {0, 1, 2}) QCOMPARE(f->cbl[a]->font().bold(), shown && a != 1);
      };
      check(false);
      Walk(f, "V");
      check(true);
      QCOMPARE(f->lbReference->text(), QString("Notes: See chapter 2"));
      QCOMPARE(State(f), "Question 1 of 2 |  | View Mark");
      Walk(f, "V");
      QVERIFY(f->lbReference->isHidden() && !f->cbl[0]->font().bold());
      Walk(f, "ac>a");
      QCOMPARE(State(f), "Question 2 of 2 |  | Previous View EndReview Mark Goto");  // no running score
      Walk(f, "E");
      QCOMPARE(State(f), "Question 2 of 2 | 2 of 2 Correct [100%] | Save Close");
      Walk(f, "SC");
    });
    r.Start();
    QVERIFY(r.Results().contains("\r\n   2 of 2 Correct [100%]  \r\n\r\n"));
  }

  // Sets copied from Windows often carry their extension in capitals.
  void gotoListAndMarksOnASetInCapitals() {
    TRun r(testkit::MakeSet(6), {}, "UPPER.QST");
    r.Window([&](TForm1* f) {
      Walk(f, ">>>>M");
      QCOMPARE(f->lbTitle->text(), QString("Question 5 of 6 (Marked)"));
      f->btnGoto->click();
      QCOMPARE(f->ListBox1->count(), 7);
      QCOMPARE(f->ListBox1->item(5)->text(), QString(" 5 Marked"));
      QCOMPARE(f->ListBox1->currentRow(), 5);
      // The list is wide enough for its heading.
      QVERIFY(f->ListBox1->fontMetrics().horizontalAdvance("Select question:") < f->ListBox1->viewport()->width());
      f->ListBox1->setCurrentRow(2);
      f->ListBox1Click();
      QCOMPARE(f->lbTitle->text(), QString("Question 2 of 6"));
      QVERIFY(!f->ListBox1->isHidden());  // a single click keeps the list open
      f->ListBox1->setCurrentRow(5);
      f->ListBox1DblClick();
      Walk(f, "M");
      f->btnGoto->click();
      QCOMPARE(f->ListBox1->item(5)->text(), QString(" 5 "));
      Walk(f, "E");
      QVERIFY(f->ListBox1->isHidden());
      r.Discard(f);
    });
    r.Start();
    QVERIFY(StartForm->btnStart->isEnabled());  // the summary read it
    r.Modals.Expect("AddEditForm", [](QDialog* d) {
      STEP_COMPARE(static_cast<TAddEditForm*>(d)->QuestionSet.LastIndex, 6);
      return testkit::TModalScript::Click(d, "btnClose");
    });
    StartForm->btnEditClick();
    VERIFY_MODALS(r.Modals);
  }

  // A limit of 0 or one too long for the seconds counter can only come from
  // an options file; the window is then opened directly, as it would be with
  // a limit that slipped past the minutes box.
  void countdown_data() {
    QTest::addColumn<int>("minutes");
    QTest::addColumn<QString>("time");
    QTest::addColumn<QString>("taken");
    QTest::newRow("runs out") << 1 << "Time left: 00:00:59"
                              << "Time taken: 00:01:00\r\n";
    QTest::newRow("0 expires at once") << 0 << "Time left: 00:00:00"
                                       << "Time taken: 00:00:00\r\n";
    QTest::newRow("too long for the counter") << std::numeric_limits<int>::max() << "Time left: 596523:13:59"
                                              << "Time taken: 00:00:01\r\n";
  }
  void countdown() {
    QFETCH(int, minutes);
    QFETCH(QString, time);
    QFETCH(QString, taken);
    TOptionsRecord o;
    o.TimeMode = TTimeMode::Countdown;
    o.CountdownMinutes = minutes;
    TRun r(testkit::MakeSet(3), o);
    if (minutes == 0) r.Messages.Expect(Expired, TMsgDlgType::Custom, mbOK);
    r.Window([&](TForm1* f) {
      QCOMPARE(f->lbTime->text(), time);
      QCOMPARE(f->Taking() && f->Timer1->isActive(), minutes != 0);
      if (minutes == 1) {
        for (int i = 0; i < 58; ++i) f->Timer1Timer();
        QCOMPARE(f->lbTime->text(), QString("Time left: 00:00:01"));
        QVERIFY(f->Taking());
        Walk(f, ">");
        r.Messages.Expect(Expired, TMsgDlgType::Custom, mbOK);
        f->Timer1Timer();
        QCOMPARE(f->lbTime->text(), QString("Time left: 00:00:00"));
      } else if (minutes != 0) {
        Walk(f, "E");
      }
      QVERIFY(!f->Taking() && !f->Timer1->isActive());
      QCOMPARE(f->lbResults->text(), minutes == 1 ? "0 of 2 Correct [0%]" : "0 of 1 Correct [0%]");
      const QString shown = f->lbTime->text();
      f->Timer1Timer();  // a stray tick after the end changes nothing
      QCOMPARE(f->lbTime->text(), shown);
      Walk(f, "SC");
    });
    r.Start(0);
    QVERIFY(r.Results().contains(taken));
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
      Walk(f, "><");
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

  // A test is taken from the keyboard: letters and digits tick rows, the
  // arrows and page keys move, whichever control has the focus. Within a test
  // the answer order is kept; the next test starts clean and draws it afresh.
  void keyboardTakesTheTestAndTheNextStartsClean() {
    TQuestionSet set = testkit::MakeSet(3);
    set.Questions[2].AnswerType = TAnswerType::Multiple;  // several answers: square boxes
    set.Questions[3].RandomizeAnswers = 1;
    for (int a = 0; a < 8; ++a) set.Questions[3].Answers[a] = std::string(1, char('A' + a));
    TRun r(set);
    QList<QStringList> shown;
    r.Window([&](TForm1* f) {
      f->activateWindow();
      QVERIFY(QTest::qWaitForWindowActive(f));
      const std::tuple<QWidget*, Qt::Key, const char*> steps[] = {
          {f->btnNext, Qt::Key_B, "Question 1 of 3: B"},
          {f->ScrollBox1, Qt::Key_1, "Question 1 of 3: A"},
          {f->ScrollBox1, Qt::Key_E, "Question 1 of 3: A"},  // row E is empty
          {f->rb[0], Qt::Key_Right, "Question 2 of 3: "},
          {f->ScrollBox1, Qt::Key_A, "Question 2 of 3: A"},
          {f->ScrollBox1, Qt::Key_4, "Question 2 of 3: AD"},
          {f->ScrollBox1, Qt::Key_D, "Question 2 of 3: A"},  // ticked again: cleared
          {f->ScrollBox1, Qt::Key_PageDown, "Question 3 of 3: "},
          {f->ScrollBox1, Qt::Key_PageDown, "Question 3 of 3: "},  // no further
          {f->ScrollBox1, Qt::Key_Left, "Question 2 of 3: A"},
          {f->ScrollBox1, Qt::Key_PageUp, "Question 1 of 3: A"}};  // ticks made by key are kept
      for (const auto& [to, key, text] : steps) {
        QTest::keyClick(to, key);
        QCOMPARE(f->lbTitle->text() + ": " + Ticks(f), QString(text));
      }
      // Alt and a letter of its own press each button (the toolkit's
      // mnemonics; the offscreen platform delivers no shortcuts).
      QSet<QKeySequence> letters;
      for (QPushButton* b : f->findChildren<QPushButton*>()) letters << QKeySequence::mnemonic(b->text());
      QCOMPARE(letters.size(), f->findChildren<QPushButton*>().size());
      QVERIFY(!letters.contains(QKeySequence()));
      Walk(f, "MVV>>");
      shown << SlotTexts(f);
      Walk(f, "<>");
      QCOMPARE(SlotTexts(f), shown.last());
      QCOMPARE(f->id[7]->text(), QString("H."));  // letters belong to the rows
      Walk(f, "EE");
      QCOMPARE(f->lbTitle->text(), QString("Review 1 of 1 \u2014 Question 3"));  // left unanswered
      Walk(f, "C");
    });
    r.Messages.Answer(mrNo);
    r.Window([&](TForm1* f) {
      QVERIFY(f->Taking() && !f->ReviewMode);
      QCOMPARE(State(f), "Question 1 of 3 |  | Next View EndReview Mark Goto");
      QCOMPARE(f->btnEndReview->text(), QString("&End Test"));
      QCOMPARE(f->lbTime->text(), QString("Elapsed time: 00:00:01"));
      QVERIFY(Ticks(f).isEmpty() && f->lbReference->isHidden());
      Walk(f, ">>");
      shown << SlotTexts(f);
      r.Discard(f);
    });
    r.Start(2);
    QVERIFY(r.Results().isEmpty());  // the declined saves added nothing
    QVERIFY(shown[0] != shown[1]);
    QVERIFY(shown[0] != QStringList({"A", "B", "C", "D", "E", "F", "G", "H"}));
  }
};

QTEST_MAIN(Form1Test)
#include "Form1_test.moc"
