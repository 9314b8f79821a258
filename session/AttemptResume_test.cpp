#include <QProcess>
#include <QRandomGenerator>
#include <QtTest>
#include <map>
#include <memory>

#include "app/PasswordDlg.h"
#include "app/StartForm.h"
#include "base/ProgramFolder.h"
#include "base/core/FileIO.h"
#include "session/Form1.h"
#include "session/core/AttemptJournal.h"
#include "session/core/DetailLog.h"
#include "session/core/TestSettings.h"
#include "testkit/EditorHarness.h"
#include "testkit/MessageScript.h"
#include "testkit/ModalScript.h"
#include "testkit/TempProgramFolder.h"

using namespace proctorium;
using testkit::TMessageScript;
using testkit::TModalScript;

namespace {

TTestSettings Exam() {
  TTestSettings s;
  s.ExamMode = true;
  return s;
}

void WriteExam(testkit::TTempProgramFolder& folder, int questions) {
  folder.WriteSet("Quiz.qst", testkit::MakeSet(questions));
  WriteTestSettings(folder.Path("Tests/Quiz.qst"), Exam());
}

std::string Attempts(const testkit::TTempProgramFolder& folder) { return folder.Path("Tests/attempts/"); }

// Answers as the taker reported them: question -> mask ticked.
std::map<int, int> Reported(const QByteArray& out) {
  std::map<int, int> answers;
  for (const QByteArray& line : out.split('\n')) {
    const QList<QByteArray> f = line.split(' ');
    if (f.size() == 2) answers[f[0].toInt()] = f[1].toInt();
  }
  return answers;
}

std::map<int, int> Journalled(const TAttempt& a) {
  std::map<int, int> answers;
  for (const TAttemptQuestion& q : a.Questions)
    if (q.Response != 0) answers[q.Question] = q.Response;
  return answers;
}

QStringList Entries(const std::string& folder) {
  return QDir(QString::fromStdString(folder)).entryList(QDir::Files | QDir::Hidden);
}

}  // namespace

class AttemptResumeTest : public QObject {
  Q_OBJECT
 private slots:
  // A seat killed at a random moment of its exam: every answer it had shown
  // as ticked is in its journal, and the next start takes the attempt up
  // with those answers and the time used, then ends and saves it whole.
  void killedSeatIsResumedWithEveryAnswer() {
    for (int round = 0; round < 4; ++round) {
      testkit::TTempProgramFolder folder;
      WriteExam(folder, 30);
      QProcess seat;
      seat.setProcessChannelMode(QProcess::SeparateChannels);
      seat.start(QStringLiteral(ATTEMPT_TAKER), {QString::fromStdString(folder.Folder())});
      const int wanted = QRandomGenerator::global()->bounded(1, 30);
      QByteArray out;
      while (out.count('\n') < wanted) {
        QVERIFY2(seat.waitForReadyRead(30000), seat.readAllStandardError().constData());
        out += seat.readAllStandardOutput();
      }
      seat.kill();
      QVERIFY(seat.waitForFinished(30000));
      out += seat.readAllStandardOutput();
      const std::map<int, int> reported = Reported(out);

      int damaged = -1;
      std::vector<TUnfinishedAttempt> found = FindUnfinishedAttempts(Attempts(folder), &damaged);
      QCOMPARE(damaged, 0);
      QCOMPARE(int(found.size()), 1);
      const TAttempt attempt = found[0].Attempt;
      found.clear();  // lets the start window take it
      const std::map<int, int> journalled = Journalled(attempt);
      for (const auto& [q, mask] : reported) QCOMPARE(journalled.count(q) ? journalled.at(q) : 0, mask);
      // At most the tick the kill interrupted before it was reported.
      QVERIFY(journalled.size() <= reported.size() + 1);

      folder.CreateForms();
      TMessageScript messages;
      TModalScript modals;
      messages.Answer(mrYes);  // Resume it now ?
      modals.Expect("Form1", [&](QDialog* d) {
        auto* f = static_cast<TForm1*>(d);
        STEP_COMPARE(f->Taking(), true);
        STEP_COMPARE(int(f->Session.PositionCount), 30);
        for (int q = 1; q <= 30; ++q)
          STEP_COMPARE(int(f->Session.QuestionStates[q].Response), journalled.count(q) ? journalled.at(q) : 0);
        STEP_COMPARE(int(f->CurrentQuestionNumber()), int(attempt.Order[attempt.CurrentPosition - 1]));
        STEP_COMPARE(f->lbTime->text(),
                     QStringLiteral("Elapsed time: 00:00:%1").arg(attempt.SecondsUsed + 1, 2, 10, QChar('0')));
        // The old journal is gone; this seat's own holds the attempt now.
        STEP_COMPARE(int(Entries(Attempts(folder)).filter(".journal").size()), 1);
        messages.Answer(mrYes);  // End the test now ?
        f->btnEndReview->click();
        f->btnSave->click();
        f->btnClose->click();
        return d->result();
      });
      StartForm->show();
      StartForm->OfferUnfinishedAttempts();
      VERIFY_MODALS(modals);
      VERIFY_MESSAGES(messages);
      QVERIFY(messages.Shown()[0].Text.startsWith("An unfinished test was found:\nQuiz.qst, started "));
      const QString results = QString::fromStdString(folder.ReadFile("Tests/results.txt"));
      QVERIFY2(results.contains(QStringLiteral(" of 30 Correct [")), qPrintable(results));
      QCOMPARE(Entries(Attempts(folder)).filter(".journal"), QStringList());
      folder.DestroyForms();
    }
  }

  // The teacher, behind the password, ends an attempt as it stands (saved
  // with the score out of all its questions), discards one, or leaves it.
  void teacherEndsDiscardsOrLeaves() {
    struct Row {
      const char* name;
      int answer;
      bool confirm;
      bool saved;
      bool left;
    };
    const Row rows[] = {
        {"end", mrYes, false, true, false},
        {"discard", mrNo, true, false, false},
        {"discard declined", mrNo, false, false, true},
        {"leave", mrCancel, false, false, true},
    };
    for (const Row& row : rows) {
      testkit::TTempProgramFolder folder;
      WriteExam(folder, 4);
      TQuestionSet set = testkit::MakeSet(4);
      TTestSession session;
      session.ScoreAll = true;
      session.Start(set);
      session.EnsureAnswerOrder(1, set.Questions[1]);
      session.QuestionStates[1].Seen = true;
      session.StoreResponse(1, session.QuestionStates[1].DisplayCorrectMask);
      TAttempt a = CaptureAttempt(session);
      a.SetFile = "Quiz.qst";
      a.Fingerprint = SetFingerprint(set);
      a.Started = "2026-12-07 09:00:00";
      a.SecondsUsed = 600;
      QDir().mkpath(QString::fromStdString(Attempts(folder)));
      folder.WriteFile("Tests/attempts/attempt-00000000000000aa.journal", EncodeAttempt(a));

      folder.CreateForms();
      StartForm->show();
      TMessageScript messages;
      TModalScript modals;
      modals.Expect("PasswordDlg", TModalScript::Press("btnOk"));  // no password set
      messages.Expect(
          "Unfinished test: Quiz.qst, started 2026-12-07 09:00:00: 1 of 4 questions answered, 00:10:00 used.\n"
          "Yes ends it and scores it as it stands, No discards it, Cancel leaves it.",
          TMsgDlgType::Confirmation, mbYes | mbNo | mbCancel, row.answer);
      if (row.answer == mrNo)
        messages.Expect("Discard this unfinished test ? Its answers are lost.", TMsgDlgType::Warning, mbYes | mbNo,
                        row.confirm ? mrYes : mrNo);
      if (row.saved)
        modals.Expect("Form1", [&](QDialog* d) {
          auto* f = static_cast<TForm1*>(d);
          STEP_COMPARE(f->Taking(), false);
          STEP_COMPARE(f->lbResults->text(), QString("1 of 4 Correct [25%]"));
          f->btnSave->click();
          f->btnClose->click();
          return d->result();
        });
      StartForm->UnfinishedTests1->trigger();
      VERIFY_MODALS(modals);
      VERIFY_MESSAGES(messages);
      const QString results = QString::fromStdString(folder.ReadFile("Tests/results.txt"));
      QCOMPARE(results.contains("   1 of 4 Correct [25%]  Incorrect; 2; 3; 4\r\n"), row.saved);
      QCOMPARE(Entries(Attempts(folder)).filter(".journal").size(), qsizetype(row.left ? 1 : 0));
      if (row.saved) {
        const std::vector<TDetailTest> detail = ReadDetailLog(folder.ReadFile("Tests/results-detail.csv"));
        QCOMPARE(int(detail.size()), 1);
        QCOMPARE(detail[0].ScoreRule, std::string("all"));
      }
      folder.DestroyForms();
    }
  }

  // An exam finished normally, or closed without saving, leaves no journal;
  // a practice run never writes one.
  void finishedAttemptsLeaveNothing() {
    for (const bool exam : {false, true}) {
      testkit::TTempProgramFolder folder;
      folder.WriteSet("Quiz.qst", testkit::MakeSet(3));
      if (exam) WriteTestSettings(folder.Path("Tests/Quiz.qst"), Exam());
      folder.CreateForms();
      TMessageScript messages;
      TModalScript modals;
      modals.Expect("Form1", [&](QDialog* d) {
        auto* f = static_cast<TForm1*>(d);
        STEP_COMPARE(f->Journal() != nullptr, exam);
        f->rb[0]->click();
        if (exam) {
          STEP_COMPARE(Entries(Attempts(folder)).filter(".journal").size(), qsizetype(1));
          messages.Answer(mrYes);
        }
        f->btnEndReview->click();
        messages.Answer(mrNo);  // closed without saving
        f->btnClose->click();
        return d->result();
      });
      StartForm->show();
      StartForm->FileListBox1->SetItemIndex(0);
      StartForm->btnStartClick();
      VERIFY_MODALS(modals);
      VERIFY_MESSAGES(messages);
      QCOMPARE(Entries(Attempts(folder)), QStringList());
      folder.DestroyForms();
    }
  }
};

QTEST_MAIN(AttemptResumeTest)
#include "AttemptResume_test.moc"
