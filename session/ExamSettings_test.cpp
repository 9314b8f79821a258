#include <QApplication>
#include <QtTest>
#include <functional>

#include "app/StartForm.h"
#include "base/ModalSeam.h"
#include "base/core/FileIO.h"
#include "candidates/core/Gradebook.h"
#include "session/Form1.h"
#include "session/core/RandomSource.h"
#include "session/core/TestSettings.h"
#include "testkit/MessageScript.h"
#include "testkit/ModalScript.h"
#include "testkit/TempProgramFolder.h"

using namespace proctorium;

Q_DECLARE_METATYPE(proctorium::TTestSettings)

namespace {

const QString Expired = QStringLiteral("Allocated test time expired");

// a-h tick a row, < and > move, M marks, E ends or reviews.
void Walk(TForm1* f, const char* steps) {
  for (const char* s = steps; *s; ++s) {
    const int row = *s - 'a';
    if (row >= 0 && row < AnswerCount) {
      (f->cb[row]->isHidden() ? static_cast<QAbstractButton*>(f->rb[row]) : f->cb[row])->click();
      continue;
    }
    const std::pair<char, QPushButton*> buttons[] = {
        {'<', f->btnPrevious}, {'>', f->btnNext}, {'E', f->btnEndReview}, {'M', f->btnMark}};
    for (const auto& [key, button] : buttons)
      if (key == *s) button->click();
  }
}

QString State(TForm1* f) {
  QStringList on;
  for (QPushButton* b :
       {f->btnPrevious, f->btnNext, f->btnView, f->btnEndReview, f->btnMark, f->btnGoto, f->btnSave, f->btnClose})
    if (b->isEnabled() && !b->isHidden()) on << b->objectName().mid(3);
  return f->lbTitle->text() + " | " + f->lbResults->text() + " | " + on.join(' ');
}

bool FullScreen(QWidget* w) { return (w->windowState() & Qt::WindowFullScreen) != 0; }

// A program folder with Tests/Quiz.qst (three questions, A right) and its
// settings, started from the start window.
struct TExamRun {
  testkit::TTempProgramFolder Folder;
  testkit::TMessageScript Messages;
  testkit::TModalScript Modals;

  TExamRun(const TTestSettings& settings, const TOptionsRecord& options = {}, int questions = 3) : Folder(options) {
    Folder.WriteSet("Quiz.qst", testkit::MakeSet(questions));
    WriteTestSettings(Folder.Path("Tests/Quiz.qst"), settings);
  }
  void Window(std::function<void(TForm1*)> drive) {
    Modals.Expect("Form1", [drive](QDialog* d) {
      drive(static_cast<TForm1*>(d));
      return d->result();
    });
  }
  void Start() {
    Folder.CreateForms();
    StartForm->show();
    StartForm->FileListBox1->SetItemIndex(0);
    StartForm->btnStartClick();
  }
  QString Results() const { return QString::fromStdString(Folder.ReadFile("Tests/results.txt")); }
};

}  // namespace

class ExamSettingsTest : public QObject {
  Q_OBJECT
 private slots:
  void init() { SessionRandom().Pin(1234); }
  void cleanup() { SessionRandom().Unpin(); }

  // Each setting through the real windows: the candidate answers the first
  // question right and the second wrong, leaves the third and ends.
  void eachSettingShapesTheTest_data() {
    QTest::addColumn<TTestSettings>("settings");
    QTest::addColumn<bool>("countdownOptions");  // the user's own choice of clock
    QTest::addColumn<QString>("clock");
    QTest::addColumn<QString>("running");  // the score shown before End Test
    QTest::addColumn<bool>("answerButton");
    QTest::addColumn<bool>("fullScreen");
    QTest::addColumn<QString>("ask");  // the question End Test asks first
    QTest::addColumn<QString>("ended");
    QTest::addColumn<QString>("saved");  // the score line of results.txt

    const QString seenEnd = "Question 2 of 3 | 1 of 2 Correct [50%] | EndReview Save Close";
    const QString seenLine = "   1 of 2 Correct [50%]  Incorrect; 2\r\n";
    const QString noReview = "Question 2 of 3 | 1 of 2 Correct [50%] | Save Close";
    TTestSettings s;
    QTest::newRow("none") << s << false << "Elapsed time: 00:00:01"
                          << "1 of 1 Correct [100%]" << true << false << "" << seenEnd << seenLine;
    s = {};
    s.ExamMode = true;
    QTest::newRow("exam mode") << s << false << "Elapsed time: 00:00:01"
                               << "1 of 3 Correct [33%]" << true << true
                               << "1 question unanswered and 0 marked. End the test now ?"
                               << "Question 2 of 3 | 1 of 3 Correct [33%] | EndReview Save Close"
                               << "   1 of 3 Correct [33%]  Incorrect; 2; 3\r\n";
    s = {};
    s.ScoreAllQuestions = true;
    QTest::newRow("score out of all") << s << false << "Elapsed time: 00:00:01"
                                      << "1 of 3 Correct [33%]" << true << false << ""
                                      << "Question 2 of 3 | 1 of 3 Correct [33%] | EndReview Save Close"
                                      << "   1 of 3 Correct [33%]  Incorrect; 2; 3\r\n";
    s = {};
    s.RunningScore = false;
    QTest::newRow("no running score") << s << false << "Elapsed time: 00:00:01"
                                      << "" << true << false << "" << seenEnd << seenLine;
    s = {};
    s.AnswersButton = false;
    QTest::newRow("no answer button") << s << false << "Elapsed time: 00:00:01"
                                      << "1 of 1 Correct [100%]" << false << false << "" << seenEnd << seenLine;
    s = {};
    s.Review = TReviewRule::Never;
    QTest::newRow("review never") << s << false << "Elapsed time: 00:00:01"
                                  << "1 of 1 Correct [100%]" << true << false << "" << noReview << seenLine;
    s.Review = TReviewRule::OnRelease;
    QTest::newRow("review not released") << s << false << "Elapsed time: 00:00:01"
                                         << "1 of 1 Correct [100%]" << true << false << "" << noReview << seenLine;
    s.ReviewReleased = true;
    QTest::newRow("review released") << s << false << "Elapsed time: 00:00:01"
                                     << "1 of 1 Correct [100%]" << true << false << "" << seenEnd << seenLine;
    s = {};
    s.Clock = TClockRule::Countdown;
    s.CountdownMinutes = 5;
    // No countdown dialog: the teacher's limit holds whatever the user chose.
    QTest::newRow("fixed countdown") << s << false << "Time left: 00:04:59"
                                     << "1 of 1 Correct [100%]" << true << false << "" << seenEnd << seenLine;
    QTest::newRow("fixed countdown over the user's")
        << s << true << "Time left: 00:04:59"
        << "1 of 1 Correct [100%]" << true << false << "" << seenEnd << seenLine;
    s = {};
    s.Clock = TClockRule::Elapsed;
    QTest::newRow("fixed elapsed over the user's countdown")
        << s << true << "Elapsed time: 00:00:01"
        << "1 of 1 Correct [100%]" << true << false << "" << seenEnd << seenLine;
  }
  void eachSettingShapesTheTest() {
    QFETCH(TTestSettings, settings);
    QFETCH(bool, countdownOptions);
    QFETCH(QString, clock);
    QFETCH(QString, running);
    QFETCH(bool, answerButton);
    QFETCH(bool, fullScreen);
    QFETCH(QString, ask);
    QFETCH(QString, ended);
    QFETCH(QString, saved);
    TOptionsRecord o;
    if (countdownOptions) {
      o.TimeMode = TTimeMode::Countdown;
      o.CountdownMinutes = 20;
    }
    TExamRun r(settings, o);
    r.Window([&](TForm1* f) {
      QCOMPARE(f->lbTime->text(), clock);
      QCOMPARE(!f->btnView->isHidden(), answerButton);
      QCOMPARE(FullScreen(f), fullScreen);
      QCOMPARE(StartForm->isVisible(), !fullScreen);  // out of reach during an exam
      Walk(f, "a>b");
      QCOMPARE(f->lbResults->text(), running);
      if (!ask.isEmpty()) r.Messages.Expect(ask, TMsgDlgType::Confirmation, mbYes | mbNo, mrYes);
      Walk(f, "E");
      VERIFY_MESSAGES(r.Messages);
      QCOMPARE(State(f), ended);
      f->btnSave->click();
      f->btnClose->click();
    });
    r.Start();
    VERIFY_MODALS(r.Modals);
    VERIFY_MESSAGES(r.Messages);
    QVERIFY2(r.Results().contains(saved), qPrintable(r.Results()));
    // The next test of a set without settings is as it always was.
    QVERIFY(StartForm->isVisible());
    QVERIFY(!FullScreen(Form1));
    QVERIFY(!Form1->btnView->isHidden());
  }

  // The question names what is left; No (the default) goes back to the test.
  void endingAnExamAsksFirst() {
    const std::tuple<const char*, const char*, int> rows[] = {
        {"", "3 questions unanswered and 0 marked. End the test now ?", mrNo},
        {"aM>M", "2 questions unanswered and 2 marked. End the test now ?", mrNo},
        {"a>b>c", "0 questions unanswered and 0 marked. End the test now ?", mrYes},
        {"M>b", "2 questions unanswered and 1 marked. End the test now ?", mrYes},
    };
    for (const auto& [walk, text, answer] : rows) {
      TTestSettings s;
      s.ExamMode = true;
      TExamRun r(s);
      r.Window([&](TForm1* f) {
        Walk(f, walk);
        r.Messages.Expect(text, TMsgDlgType::Confirmation, mbYes | mbNo, answer);
        Walk(f, "E");
        QCOMPARE(r.Messages.Shown().back().DefaultButton, unsigned(mbNo));
        QCOMPARE(f->Taking(), answer == mrNo);
        if (answer == mrNo) {
          r.Messages.Answer(mrYes);
          Walk(f, "E");
        }
        r.Messages.Answer(mrNo);  // no save
        f->btnClose->click();
      });
      r.Start();
      VERIFY_MODALS(r.Modals);
      VERIFY_MESSAGES(r.Messages);
    }
  }

  // The countdown's end needs nobody's word.
  void examCountdownEndsWithoutAsking() {
    TTestSettings s;
    s.ExamMode = true;
    s.Clock = TClockRule::Countdown;
    s.CountdownMinutes = 1;
    TExamRun r(s);
    r.Window([&](TForm1* f) {
      Walk(f, "a");
      for (int i = 0; i < 58; ++i) f->Timer1Timer();
      r.Messages.Expect(Expired, TMsgDlgType::Custom, mbOK);
      f->Timer1Timer();
      QVERIFY(!f->Taking());
      QCOMPARE(f->lbResults->text(), "1 of 3 Correct [33%]");
      r.Messages.Answer(mrNo);
      f->btnClose->click();
    });
    r.Start();
    VERIFY_MODALS(r.Modals);
    VERIFY_MESSAGES(r.Messages);
  }

  // Only the program going to the background counts, only in an exam and
  // only while the test runs; the gradebook records the count and the rule
  // the score followed.
  void focusLossesAreCountedAndRecorded() {
    for (const bool exam : {false, true}) {
      TTestSettings s;
      s.ExamMode = exam;
      TExamRun r(s);
      auto state = [](Qt::ApplicationState st) {
        QApplicationStateChangeEvent e(st);
        QCoreApplication::sendEvent(qApp, &e);
      };
      r.Window([&](TForm1* f) {
        for (int i = 0; i < 2; ++i) {
          state(Qt::ApplicationInactive);
          state(Qt::ApplicationHidden);  // the same absence
          state(Qt::ApplicationActive);
        }
        QCOMPARE(f->FocusLosses(), exam ? 2 : 0);
        if (exam) r.Messages.Answer(mrYes);  // End the test now ?
        Walk(f, "aE");
        state(Qt::ApplicationInactive);
        state(Qt::ApplicationActive);
        QCOMPARE(f->FocusLosses(), exam ? 2 : 0);
        f->btnSave->click();
        f->btnClose->click();
      });
      r.Start();
      VERIFY_MODALS(r.Modals);
      VERIFY_MESSAGES(r.Messages);
      const TGradebookFile book = ReadGradebook(r.Folder.ReadFile("Tests/gradebook.csv"));
      QCOMPARE(int(book.Rows.size()), 1);
      const TGradebookEntry& e = book.Rows[0].Entry;
      QCOMPARE(e.FocusLost, exam ? 2 : -1);
      QCOMPARE(e.ScoreRule, std::string(exam ? "all" : "seen"));
      QCOMPARE(e.Correct, 1);
      QCOMPARE(e.QuestionsSeen, 1);
      QCOMPARE(e.Percent, exam ? 33 : 100);
    }
  }

  // Drawn questions: the title counts them and the score is out of them.
  void drawnQuestionsMakeTheTest() {
    TTestSettings s;
    s.DrawCount = 2;
    s.ScoreAllQuestions = true;
    TExamRun r(s, {}, 6);
    r.Window([&](TForm1* f) {
      QCOMPARE(f->lbTitle->text(), "Question 1 of 2");
      Walk(f, "a");
      Walk(f, "E");
      QCOMPARE(f->lbResults->text(), "1 of 2 Correct [50%]");
      f->btnSave->click();
      f->btnClose->click();
    });
    r.Start();
    VERIFY_MODALS(r.Modals);
    QVERIFY2(r.Results().contains("   1 of 2 Correct [50%]  Incorrect; "), qPrintable(r.Results()));
  }

  // A damaged settings file is reported and the set runs as if it had none.
  void damagedSettingsAreReportedAndIgnored() {
    TExamRun r({});
    r.Folder.WriteFile("Tests/Quiz.qst.exam", "[Proctorium test settings]\r\nexam=maybe\r\n");
    r.Messages.Answer(mrOk);
    r.Window([&](TForm1* f) {
      QVERIFY(!FullScreen(f));
      Walk(f, "a>b");
      QCOMPARE(f->lbResults->text(), "1 of 1 Correct [100%]");
      Walk(f, "E");
      r.Messages.Answer(mrNo);
      f->btnClose->click();
    });
    r.Start();
    VERIFY_MODALS(r.Modals);
    VERIFY_MESSAGES(r.Messages);
    QVERIFY(r.Messages.Shown().front().Text.contains("Quiz.qst.exam"));
  }
};

QTEST_MAIN(ExamSettingsTest)
#include "ExamSettings_test.moc"
