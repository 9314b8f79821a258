#include <QApplication>
#include <QtTest>
#include <functional>
#include <limits>
#include <tuple>

#include "app/StartForm.h"
#include "base/ModalSeam.h"
#include "base/core/Contrast.h"
#include "base/core/FileIO.h"
#include "session/Form1.h"
#include "session/TimerValue.h"
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

// A program folder holding one set, Tests/Quiz.qst, and the scripts that
// stand in for the person at the keyboard.
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
      Walk(f, "a>c>aE");  // right, wrong, right
      QCOMPARE(State(f), "Question 3 of 3 | 2 of 3 Correct [66%] | EndReview Save Close");
      Walk(f, "S");
      QVERIFY(!f->btnSave->isEnabled());  // one entry per test
      Walk(f, "C");
    });
    r.Start();
    const QString today = QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat);
    QCOMPARE(r.Results(),
             today + "  Quiz.qst     Time taken: 00:00:01\r\n   2 of 3 Correct [66%]  Incorrect; 2\r\n\r\n");
    // With the entry, the answers go to the detail log.
    std::string bytes;
    QVERIFY(ReadWholeFile(r.Folder.Path("Tests/results-detail.csv"), bytes));
    QCOMPARE(ReadDetailLog(bytes).size(), size_t(1));
  }

  // A Unicode set shows its texts as written; its file name, outside
  // Windows-1252, goes to the 8-bit results.txt with a '?' for each
  // character that does not fit and in full to the UTF-8 detail log.
  void unicodeSetIsShownAndLoggedInFull() {
    TQuestionSet set = testkit::MakeSet(1, "\xCE\xA6\xCF\x85\xCF\x83\xCE\xB9\xCE\xBA\xCE\xAE");
    set.Encoding = TTextEncoding::Utf8;
    set.Questions[1].Text = "x \xE2\x89\xA5 0 \xD0\xB8 H\xE2\x82\x82O?";
    set.Questions[1].Answers = {"\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D", "\xE6\xBC\xA2\xE5\xAD\x97"};
    set.Questions[1].Remarks =
        "\xCF\x80 \xE2\x88\x9A"
        "2";
    TRun r(set, {}, "\xD0\xA4\xD0\xB8\xD0\xB7\xD0\xB8\xD0\xBA\xD0\xB0.qst");
    r.Window([](TForm1* f) {
      QCOMPARE(f->lbQuestion->text(), QString::fromUtf8("x \u2265 0 \u0438 H\u2082O?"));
      QCOMPARE(SlotTexts(f).join('|'), QString::fromUtf8("\u05e9\u05dc\u05d5\u05dd|\u6f22\u5b57"));
      Walk(f, "bEE");  // a wrong answer, reviewed with its notes
      QCOMPARE(f->lbReference->text(), QString::fromUtf8("Notes: \u03c0 \u221a2"));
      Walk(f, "SC");
    });
    r.Start();
    QVERIFY2(r.Results().contains("  ??????.qst     Time taken:"), qPrintable(r.Results()));
    std::string bytes;
    QVERIFY(ReadWholeFile(r.Folder.Path("Tests/results-detail.csv"), bytes));
    const auto tests = ReadDetailLog(bytes);
    QCOMPARE(tests.size(), size_t(1));
    QCOMPARE(tests[0].SetFile, std::string("\xD0\xA4\xD0\xB8\xD0\xB7\xD0\xB8\xD0\xBA\xD0\xB0.qst"));
  }

  // Ended after four of ten questions, then reviewed; an answer changed in
  // the review is what is saved. Closing is refused while taking; after the
  // end the title bar closes like the button and offers the save.
  void endedAfterFourOfTenThenReviewed() {
    TRun r(testkit::MakeSet(10));
    r.Window([&](TForm1* f) {
      Walk(f, "a>a>b>a");  // A is right
      r.Messages.Expect("End Test and select Close button to exit", TMsgDlgType::Warning, mbOK);
      f->close();  // title bar
      QVERIFY(f->isVisible() && f->Taking());
      Walk(f, "E");
      QCOMPARE(State(f), "Question 4 of 10 | 3 of 4 Correct [75%] | EndReview Save Close");
      // Resizing between End Test and Review must not move the ticks on
      // screen into another question.
      f->resize(700, 500);
      QApplication::processEvents();
      Walk(f, "E");
      QCOMPARE(State(f), "Review 1 of 1 \u2014 Question 3 | 3 of 4 Correct [75%] | Save Close");
      QVERIFY(f->cbl[0]->font().bold() && !f->cbl[1]->font().bold());  // the correct answer shown
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
    for (const QColor& c : {QColor(255, 255, 255), QColor(0, 0, 128), QColor(118, 118, 118), QColor(255, 255, 0)})
      QTest::addRow("%s", qPrintable(c.name())) << c;
  }
  void settingsAndShownAnswersOnAnyScreenColour() {
    QFETCH(QColor, screen);
    TOptionsRecord o;
    o.ScreenColour = static_cast<std::uint32_t>(screen.red() | screen.green() << 8 | screen.blue() << 16);
    TQuestionSet set = testkit::MakeSet(2);
    set.Questions[1].AnswerType = TAnswerType::Multiple;
    set.Questions[1].CorrectMask = 1 | 4;
    set.Questions[1].Remarks = "See chapter 2";
    TRun r(set, o);
    r.Window([&](TForm1* f) {
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
      Walk(f, "Vac>aE");
      QCOMPARE(State(f), "Question 2 of 2 | 2 of 2 Correct [100%] | Save Close");
      r.Discard(f);
    });
    r.Start();
  }

  // A limit of 0 or one too long for the seconds counter can only come from
  // an options file; the window is then opened directly, as it would be with
  // a limit that slipped past the minutes box.
  void countdown() {
    const std::tuple<int, QString, QString> rows[] = {
        {1, "Time left: 00:00:59", "Time taken: 00:01:00\r\n"},  // runs out
        {0, "Time left: 00:00:00", "Time taken: 00:00:00\r\n"},  // expires at once
        {std::numeric_limits<int>::max(), "Time left: 596523:13:59", "Time taken: 00:00:01\r\n"}};
    for (const auto& [minutes, time, taken] : rows) {
      TOptionsRecord o;
      o.TimeMode = TTimeMode::Countdown;
      o.CountdownMinutes = minutes;
      TRun r(testkit::MakeSet(3), o);
      if (minutes == 0) r.Messages.Expect(Expired, TMsgDlgType::Custom, mbOK);
      r.Window([&](TForm1* f) {
        QCOMPARE(f->lbTime->text(), time);
        if (minutes == 1) {
          for (int i = 0; i < 58; ++i) f->Timer1Timer();
          Walk(f, ">");
          r.Messages.Expect(Expired, TMsgDlgType::Custom, mbOK);
          f->Timer1Timer();
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
      QVERIFY2(r.Results().contains(taken), qPrintable(time));
    }
  }

  // A limit the minutes box refuses is never stored; a good one is saved
  // before the test starts.
  void timeLimitBoxRefusesBadTextAndSavesAGoodLimitFirst() {
    for (const char* text : {"abc", "0", "1441", "99999999999"}) {
      TOptionsRecord o;
      o.TimeMode = TTimeMode::Countdown;
      o.CountdownMinutes = 25;
      TRun r(testkit::MakeSet(1), o);
      r.Modals.Expect("TimerValue", [&](QDialog* d) {
        TimerValue->edTimeLimit->setText(text);
        r.Messages.Expect("Please enter the time limit as a whole number of minutes from 1 to 1440.",
                          TMsgDlgType::Warning, mbOK);
        TimerValue->btnOk->click();
        STEP_COMPARE(d->isVisible() ? r.Folder.ReadOptions().CountdownMinutes : 0, 25);
        TimerValue->edTimeLimit->setText(" 45 ");
        return testkit::TModalScript::Click(d, "btnOk");
      });
      r.Window([&](TForm1* f) {
        QCOMPARE(r.Folder.ReadOptions().CountdownMinutes, 45);
        r.Discard(f);
      });
      r.Start();
    }
  }

  void setWithoutQuestionsIsNotStarted() {
    TRun r(testkit::MakeSet(0, "Only a description"));
    r.Messages.Expect("This question set has no questions, so it cannot be run as a test.", TMsgDlgType::Information,
                      mbOK);
    r.Window([](TForm1* f) {
      QVERIFY(!f->Taking() && !f->Timer1->isActive());
      QTRY_VERIFY_WITH_TIMEOUT(!f->isVisible(), 60000);
    });
    r.Start();  // what a double click on the list does
    QCOMPARE(Form1->result(), int(mrCancel));
  }

  // Within a test the answer order is kept; the next test starts clean and
  // draws it afresh.
  void nextTestStartsCleanWithAFreshAnswerOrder() {
    TQuestionSet set = testkit::MakeSet(3);
    set.Questions[3].RandomizeAnswers = 1;
    for (int a = 0; a < 8; ++a) set.Questions[3].Answers[a] = std::string(1, char('A' + a));
    TRun r(set);
    QList<QStringList> shown;
    r.Window([&](TForm1* f) {
      Walk(f, "a>a>");
      shown << SlotTexts(f);
      Walk(f, "<>");
      QCOMPARE(SlotTexts(f), shown.last());
      r.Discard(f);
    });
    r.Window([&](TForm1* f) {
      QCOMPARE(State(f), "Question 1 of 3 |  | Next View EndReview Mark Goto");
      QVERIFY(!f->rb[0]->isChecked());
      Walk(f, ">>");
      shown << SlotTexts(f);
      r.Discard(f);
    });
    r.Start(2);
    QVERIFY(r.Results().isEmpty());  // the declined saves added nothing
    QVERIFY(shown[0] != shown[1]);
    QVERIFY(shown[0] != QStringList({"A", "B", "C", "D", "E", "F", "G", "H"}));
  }
  // The keyboard answers and moves like the buttons: A-H and 1-8 tick that
  // row, the arrows and PgUp/PgDn move, and Esc does not end a running test.
  void keysOfTheTestWindow_data() {
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<QString>("state");
    const int Ctrl = int(Qt::ControlModifier);
    const std::tuple<const char*, QList<int>, const char*> rows[] = {
        {"A ticks the first row", {Qt::Key_A}, "Question 1 of 3 | A"},
        {"H beyond the answers does nothing", {Qt::Key_H}, "Question 1 of 3 | "},
        {"3 ticks the third row", {Qt::Key_3}, "Question 1 of 3 | C"},
        {"a second key moves the single tick", {Qt::Key_B, Qt::Key_3}, "Question 1 of 3 | C"},
        {"the same row twice clears it", {Qt::Key_B, Qt::Key_2}, "Question 1 of 3 | "},
        {"9 is no row", {Qt::Key_9}, "Question 1 of 3 | "},
        {"Ctrl+A is no answer", {Ctrl | Qt::Key_A}, "Question 1 of 3 | "},
        {"right arrow", {Qt::Key_Right}, "Question 2 of 3 | "},
        {"Page Down", {Qt::Key_PageDown, Qt::Key_PageDown}, "Question 3 of 3 | "},
        {"left arrow", {Qt::Key_Right, Qt::Key_Left}, "Question 1 of 3 | "},
        {"Page Up, kept answer", {Qt::Key_D, Qt::Key_PageDown, Qt::Key_PageUp}, "Question 1 of 3 | D"},
        {"no way back from the first", {Qt::Key_Left}, "Question 1 of 3 | "},
        {"Esc keeps a running test", {Qt::Key_Escape}, "Question 1 of 3 | "},
    };
    for (const auto& [name, keys, state] : rows) QTest::newRow(name) << keys << QString(state);
  }
  void keysOfTheTestWindow() {
    QFETCH(QList<int>, keys);
    TRun r(testkit::MakeSet(3));  // four answers: E to H are not shown
    r.Window([&](TForm1* f) {
      for (const int k : keys) {
        if (k == Qt::Key_Escape)
          r.Messages.Expect("End Test and select Close button to exit", TMsgDlgType::Warning, mbOK);
        QTest::keyClick(f->ScrollContents, Qt::Key(k & ~Qt::KeyboardModifierMask),
                        Qt::KeyboardModifiers(k & Qt::KeyboardModifierMask));
      }
      QVERIFY(f->isVisible() && f->Taking());
      QString ticked;
      for (int a = 0; a < AnswerCount; ++a)
        if (f->rb[a]->isChecked()) ticked += QChar('A' + a);
      QTEST(f->lbTitle->text() + " | " + ticked, "state");
      r.Discard(f);
    });
    r.Start();
  }

  // Mark flags the question in the title and in the Goto list; a click in
  // the list moves there, a double click also closes the list.
  void markAndGotoList() {
    TRun r(testkit::MakeSet(3));
    r.Window([&](TForm1* f) {
      auto items = [f] {
        QStringList l;
        for (int i = 0; i < f->ListBox1->count(); ++i) l << f->ListBox1->item(i)->text();
        return l.join('|');
      };
      Walk(f, "M");
      QCOMPARE(f->lbTitle->text() + " " + f->btnMark->text(), "Question 1 of 3 (Marked) &Unmark");
      f->btnGoto->click();
      QVERIFY(!f->ListBox1->isHidden());
      QCOMPARE(items(), "Select question:| 1 Unanswered, Marked| 2 Unanswered| 3 Unanswered");
      QCOMPARE(f->ListBox1->currentRow(), 1);
      f->ListBox1->setCurrentRow(3);
      f->ListBox1Click();
      QCOMPARE(f->lbTitle->text(), "Question 3 of 3");
      QVERIFY(!f->ListBox1->isHidden());
      Walk(f, "M");
      f->ListBox1->setCurrentRow(2);
      f->ListBox1DblClick();
      QVERIFY(f->ListBox1->isHidden());
      QCOMPARE(f->lbTitle->text(), "Question 2 of 3");
      f->btnGoto->click();  // opened afresh, the list shows the marks as they are now
      QCOMPARE(items(), "Select question:| 1 Unanswered, Marked| 2 Unanswered| 3 Unanswered, Marked");
      QCOMPARE(f->ListBox1->currentRow(), 2);
      Walk(f, "<");
      QCOMPARE(f->lbTitle->text() + " " + f->btnMark->text(), "Question 1 of 3 (Marked) &Unmark");
      Walk(f, "M");
      QCOMPARE(f->lbTitle->text() + " " + f->btnMark->text(), "Question 1 of 3 &Mark");
      r.Discard(f);
    });
    r.Start();
  }

  // Cancel in the countdown dialog runs no test and keeps the stored limit;
  // OK runs it with the limit typed.
  void countdownDialogButtons() {
    for (const char* button : {"btnCancel", "btnOk"}) {
      TOptionsRecord o;
      o.TimeMode = TTimeMode::Countdown;
      o.CountdownMinutes = 25;
      TRun r(testkit::MakeSet(1), o);
      r.Modals.Expect("TimerValue", [&](QDialog* d) {
        TimerValue->edTimeLimit->setText("7");
        return testkit::TModalScript::Click(d, button);
      });
      const bool ok = QString(button) == "btnOk";
      if (ok)
        r.Window([&](TForm1* f) {
          QVERIFY(f->Taking() && f->lbTime->text().startsWith("Time left: "));
          r.Discard(f);
        });
      r.Start();
      QCOMPARE(r.Folder.ReadOptions().CountdownMinutes, ok ? 7 : 25);
    }
  }
};

QTEST_MAIN(Form1Test)
#include "Form1_test.moc"
