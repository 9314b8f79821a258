// Who took the test, through the real windows: the administrator's
// settings, the candidate dialog at Start, what a save records in each log,
// the pass mark, and logs that are not what they seem.

#include <QtTest>
#include <filesystem>
#include <functional>

#include "app/AdminOptions.h"
#include "app/StartForm.h"
#include "base/FileDialogs.h"
#include "base/ModalSeam.h"
#include "base/core/ExtraSettings.h"
#include "base/core/FileIO.h"
#include "candidates/CandidateDlg.h"
#include "candidates/core/ClassList.h"
#include "candidates/core/Gradebook.h"
#include "candidates/core/SaveJournal.h"
#include "session/Form1.h"
#include "session/ResultsForm.h"
#include "session/core/DetailLog.h"
#include "session/core/RandomSource.h"
#include "testkit/MessageScript.h"
#include "testkit/ModalScript.h"
#include "testkit/TempProgramFolder.h"

using namespace proctorium;
using testkit::TMessageScript;
using testkit::TModalScript;

namespace {

TOptionsRecord Options(TTimeMode mode = TTimeMode::Elapsed) {
  TOptionsRecord o;
  o.TimeMode = mode;
  o.CountdownMinutes = 1;
  return o;
}

// A folder with Tests/Quiz.qst (three questions, A right) and the settings
// file given, the windows made and the start window shown.
struct TRoom {
  testkit::TTempProgramFolder Folder;
  TMessageScript Messages;
  TModalScript Modals;

  explicit TRoom(const TExtraSettings& extra, const TOptionsRecord& options = Options()) : Folder(options) {
    Folder.WriteSet("Quiz.qst", testkit::MakeSet(3));
    WriteExtraSettings(Folder.Path("Proctorium.ini"), extra);
    Folder.CreateForms();
    StartForm->show();
    StartForm->FileListBox1->SetItemIndex(0);
  }
  // The candidate dialog answered with name and id and the button given.
  void Candidate(const QString& name, const QString& id, const char* button = "btnOk") {
    Modals.Expect("CandidateDlg", [=](QDialog* d) {
      auto* dlg = static_cast<TCandidateDlg*>(d);
      dlg->edCandidateName->setText(name);
      dlg->edCandidateId->setText(id);
      return TModalScript::Click(d, button);
    });
  }
  // The test window: a right, wrong, right; ended; saved; closed.
  void TakeAndSave(std::function<void(TForm1*)> check = {}) {
    Modals.Expect("Form1", [check](QDialog* d) {
      auto* f = static_cast<TForm1*>(d);
      f->rb[0]->click();
      f->btnNext->click();
      f->rb[2]->click();
      f->btnNext->click();
      f->rb[0]->click();
      f->btnEndReview->click();
      if (check) check(f);
      f->btnSave->click();
      f->btnClose->click();
      return d->result();
    });
  }
  std::string Read(const std::string& relative) const { return Folder.ReadFile(relative); }
};

QString Today() { return QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat); }

}  // namespace

class CandidatesTest : public QObject {
  Q_OBJECT
 private slots:
  void init() { SessionRandom().Pin(99); }
  void cleanup() { SessionRandom().Unpin(); }

  // Off by default: Start goes straight to the test, as it always did.
  void startAsksOnlyWhenTurnedOn() {
    TRoom room({});
    room.TakeAndSave();
    StartForm->btnStartClick();
    VERIFY_MODALS(room.Modals);
    const TGradebookFile book = ReadGradebook(room.Read("Tests/gradebook.csv"));
    QCOMPARE(book.Rows.size(), size_t(1));
    QCOMPARE(book.Rows[0].Entry.CandidateName, std::string());
    QCOMPARE(book.Rows[0].Entry.Result, std::string());
  }

  // Asked before the countdown dialog; Cancel starts nothing at all.
  void cancelReturnsToTheStartWindow() {
    TExtraSettings extra;
    extra.AskCandidateName = true;
    TRoom room(extra, Options(TTimeMode::Countdown));
    room.Candidate("Ann", "", "btnCancel");
    StartForm->btnStartClick();
    VERIFY_MODALS(room.Modals);  // neither TimerValue nor Form1 opened
    QVERIFY(!FileExists(room.Folder.Path("Tests/results.txt")));
    room.Candidate("Ann", "");
    room.Modals.Expect("TimerValue", TModalScript::Press("btnOk"));
    room.Modals.Expect("Form1", [](QDialog* d) {
      d->hide();
      return int(mrCancel);
    });
    StartForm->btnStartClick();
    VERIFY_MODALS(room.Modals);
  }

  // One save: results.txt exactly as before, the detail log and the
  // gradebook with the candidate and the same test id, the pass verdict on
  // screen and in the gradebook only.
  void saveRecordsTheCandidateInEveryLog_data() {
    QTest::addColumn<int>("passMark");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("result");
    QTest::newRow("no pass mark") << 0 << "2 of 3 Correct [66%]"
                                  << "";
    QTest::newRow("passed") << 66 << "2 of 3 Correct [66%]  Passed"
                            << "Passed";
    QTest::newRow("not passed") << 67 << "2 of 3 Correct [66%]  Not passed"
                                << "Not passed";
  }
  void saveRecordsTheCandidateInEveryLog() {
    QFETCH(int, passMark);
    QFETCH(QString, shown);
    QFETCH(QString, result);
    TExtraSettings extra;
    extra.AskCandidateName = extra.AskCandidateId = true;
    extra.PassMark = passMark;
    TRoom room(extra);
    const QString name = QString::fromUtf8("=Zo\xc3\xab \"Bo\", \xd7\xa9\xd7\xa8\xd7\x94");
    room.Candidate("  " + name + " ", "A-7");
    QString title, score;
    room.TakeAndSave([&](TForm1* f) {
      title = f->windowTitle();
      score = f->lbResults->text();
    });
    StartForm->btnStartClick();
    VERIFY_MODALS(room.Modals);
    VERIFY_MESSAGES(room.Messages);
    QCOMPARE(title, QString("Proctorium [Quiz.qst] \u2014 ") + QChar(0x2068) + name + QChar(0x2069));
    QCOMPARE(score, shown);
    QCOMPARE(QString::fromStdString(room.Read("Tests/results.txt")),
             Today() + "  Quiz.qst     Time taken: 00:00:01\r\n   2 of 3 Correct [66%]  Incorrect; 2\r\n\r\n");
    const std::vector<TDetailTest> detail = ReadDetailLog(room.Read("Tests/results-detail.csv"));
    const TGradebookFile book = ReadGradebook(room.Read("Tests/gradebook.csv"));
    QCOMPARE(detail.size(), size_t(1));
    QCOMPARE(book.Rows.size(), size_t(1));
    const TGradebookEntry& e = book.Rows[0].Entry;
    QCOMPARE(QString::fromStdString(e.CandidateName), name);
    QCOMPARE(e.CandidateId, std::string("A-7"));
    QCOMPARE(detail[0].CandidateName, e.CandidateName);
    QCOMPARE(detail[0].CandidateId, e.CandidateId);
    QCOMPARE(e.TestId, detail[0].TestId);
    QCOMPARE(e.DateTime, detail[0].DateTime);
    QCOMPARE(e.Fingerprint, detail[0].Fingerprint);
    QCOMPARE(std::tie(e.QuestionsSeen, e.QuestionsInSet, e.Correct, e.Percent, e.SecondsTaken),
             std::make_tuple(3, 3, 2, 66, 1));
    QCOMPARE(std::tie(e.Timer, e.Ended, e.ScoreRule, e.Source),
             std::make_tuple(std::string("Elapsed"), std::string("Early"), std::string("seen"), std::string("Screen")));
    QCOMPARE(QString::fromStdString(e.Result), result);
    QCOMPARE(e.FocusLost, -1);
    QVERIFY(!FileExists(room.Folder.Path("Tests/results-save.journal")));
  }

  void countdownRunningOutIsRecorded() {
    TRoom room({}, Options(TTimeMode::Countdown));
    room.Modals.Expect("TimerValue", TModalScript::Press("btnOk"));
    room.Messages.Expect("Allocated test time expired", TMsgDlgType::Custom, mbOK);
    room.Modals.Expect("Form1", [](QDialog* d) {
      auto* f = static_cast<TForm1*>(d);
      f->TimerSeconds = 1;
      f->Timer1Timer();
      f->btnSave->click();
      f->btnClose->click();
      return d->result();
    });
    StartForm->btnStartClick();
    VERIFY_MODALS(room.Modals);
    const TGradebookFile book = ReadGradebook(room.Read("Tests/gradebook.csv"));
    QCOMPARE(book.Rows.size(), size_t(1));
    QCOMPARE(book.Rows[0].Entry.Timer, std::string("Countdown"));
    QCOMPARE(book.Rows[0].Entry.Ended, std::string("Time up"));
    QCOMPARE(book.Rows[0].Entry.SecondsTaken, 60);
  }

  // The class list offered in the dialog at Start, and the rule for names
  // not on it.
  void classListDecidesWhoMayStart() {
    TExtraSettings extra;
    extra.AskCandidateName = true;
    TRoom room(extra);
    room.Folder.WriteFile("Tests/classlist.csv", ClassListFileBytes({{"1", "Zo\xc3\xab M\xc3\xbcller"}}));
    room.Messages.Expect("This name is not on the class list. Please check it.", TMsgDlgType::Warning, mbOK);
    room.Modals.Expect("CandidateDlg", [](QDialog* d) {
      auto* dlg = static_cast<TCandidateDlg*>(d);
      if (!dlg->edCandidateName->completer()) return -1;  // the names are offered
      dlg->edCandidateName->setText("Nobody");
      dlg->btnOk->click();
      dlg->edCandidateName->setText("zoe muller");
      return TModalScript::Click(d, "btnOk");
    });
    room.TakeAndSave();
    StartForm->btnStartClick();
    VERIFY_MODALS(room.Modals);
    VERIFY_MESSAGES(room.Messages);
    const TGradebookFile book = ReadGradebook(room.Read("Tests/gradebook.csv"));
    QCOMPARE(book.Rows.size(), size_t(1));
    QCOMPARE(book.Rows[0].Entry.CandidateName, std::string("Zo\xc3\xab M\xc3\xbcller"));  // as listed
    QCOMPARE(book.Rows[0].Entry.CandidateId, std::string("1"));
  }

  // OK stores the candidate settings in Proctorium.ini; Cancel stores
  // nothing; the options file keeps its layout.
  void administratorSettingsGoToTheirOwnFile() {
    TRoom room({});
    const std::string options = room.Read("Proctorium.opt");
    const std::string ini = room.Read("Proctorium.ini");
    for (const char* button : {"btnCancel", "btnOk"}) {
      room.Modals.Expect("PasswordDlg", TModalScript::Press("btnOk"));
      room.Modals.Expect("AdminOptions", [button](QDialog* d) {
        auto* a = static_cast<TAdminOptions*>(d);
        if (a->cbAskCandidateId->isEnabled()) return -1;  // only with the name
        a->cbAskCandidateName->click();
        a->cbAskCandidateId->click();
        a->cbAllowUnlisted->click();
        a->sePassMark->setValue(55);
        return TModalScript::Click(d, button);
      });
      StartForm->AdministratorClick();
      VERIFY_MODALS(room.Modals);
      if (std::string(button) == "btnCancel") QCOMPARE(room.Read("Proctorium.ini"), ini);
    }
    TExtraSettings expected;
    expected.AskCandidateName = expected.AskCandidateId = expected.AllowUnlisted = true;
    expected.PassMark = 55;
    QCOMPARE(ReadExtraSettings(room.Folder.Path("Proctorium.ini")).Settings, expected);
    QCOMPARE(room.Read("Proctorium.opt"), options);
    QCOMPARE(AdminOptions->Extra(), expected);
  }

  void damagedSettingsFileIsReportedOnceAndReplaced() {
    testkit::TTempProgramFolder folder;
    folder.WriteFile("Proctorium.ini", "PassMark=lots\r\n");
    const std::string options = folder.ReadFile("Proctorium.opt");
    TMessageScript messages;
    messages.Expect(QString::fromStdString(folder.Path("Proctorium.ini")) +
                        ", line 1: PassMark must be a per cent from 1 to 100, or nothing for none\n\n"
                        "The default settings for candidates and the pass mark are used.",
                    TMsgDlgType::Warning, mbOK);
    folder.CreateForms();
    StartForm->show();
    StartForm->FormShow();  // read again: not told twice
    VERIFY_MESSAGES(messages);
    QCOMPARE(ReadExtraSettings(folder.Path("Proctorium.ini")).Problem, std::string());
    QCOMPARE(folder.ReadFile("Proctorium.opt"), options);
    QCOMPARE(AdminOptions->Extra(), TExtraSettings{});
  }

  // Nothing is loaded until the summary is accepted; malformed lines are
  // named there.
  void classListLoadShowsASummaryFirst() {
    TRoom room({});
    room.Folder.WriteFile("pupils.txt", "ID;Name\n1;Ann\nrubbish\n2;Bo\n");
    SetFileDialogHook(
        [&](bool, const QString&, const QString&) { return QString::fromStdString(room.Folder.Path("pupils.txt")); });
    const QString summary =
        "The class list has 2 candidates.\n1 line was skipped:\nLine 3: no comma between the ID and the name"
        "\n\nUse this class list?";
    room.Messages.Expect(summary, TMsgDlgType::Confirmation, mbOK | mbCancel, mrCancel);
    AdminOptions->btnClassList->click();
    QVERIFY(!FileExists(room.Folder.Path("Tests/classlist.csv")));
    QCOMPARE(AdminOptions->lbClassList->text(), QString("Class list: none"));
    room.Messages.Expect(summary, TMsgDlgType::Confirmation, mbOK | mbCancel, mrOk);
    AdminOptions->btnClassList->click();
    SetFileDialogHook({});
    VERIFY_MESSAGES(room.Messages);
    QCOMPARE(ParseClassList(room.Read("Tests/classlist.csv")).Candidates,
             (std::vector<TCandidate>{{"1", "Ann"}, {"2", "Bo"}}));
    QCOMPARE(AdminOptions->lbClassList->text(), QString("Class list: 2 candidates"));
  }

  // A save cut short after the results log was written (as a kill would):
  // the seat does not offer it again, and the results window completes it
  // in the other logs when it opens.
  void resultsWindowCompletesASaveCutShort() {
    TRoom room({});
    SetSaveStepHook([](int step) {
      if (step == 1) throw EFileError("cut short");
    });
    room.Messages.Answer(mrOk);
    room.TakeAndSave();
    StartForm->btnStartClick();
    SetSaveStepHook({});
    VERIFY_MODALS(room.Modals);
    VERIFY_MESSAGES(room.Messages);
    const std::string journal = room.Folder.Path("Tests/results-save.journal");
    QVERIFY(FileExists(journal));
    QCOMPARE(ResultsForm->PendingCount(), 0);
    QVERIFY(ReadGradebook(room.Read("Tests/gradebook.csv")).Rows.empty());
    const std::string results = room.Read("Tests/results.txt");
    ResultsForm->LoadLog();
    QVERIFY(!FileExists(journal));
    QCOMPARE(room.Read("Tests/results.txt"), results);
    QCOMPARE(ReadDetailLog(room.Read("Tests/results-detail.csv")).size(), size_t(1));
    QCOMPARE(ReadGradebook(room.Read("Tests/gradebook.csv")).Rows.size(), size_t(1));
    QCOMPARE(ResultsForm->Lines().size(), 3);
  }

  // A log that is a link is refused with its reason; the file it points
  // to is never written, and the test waits in the seat to be saved.
  void linkedResultsLogIsRefused() {
    TRoom room({});
    room.Folder.WriteFile("private.txt", "private\r\n");
    std::filesystem::create_symlink(room.Folder.Path("private.txt"), room.Folder.Path("Tests/results.txt"));
    room.Messages.Answer(mrOk);
    room.TakeAndSave();
    StartForm->btnStartClick();
    VERIFY_MODALS(room.Modals);
    VERIFY_MESSAGES(room.Messages);
    const QString text = room.Messages.Shown()[0].Text;
    QVERIFY2(text.contains("it is a symbolic link, which the program never follows for a log"), qPrintable(text));
    QCOMPARE(room.Read("private.txt"), std::string("private\r\n"));
    QVERIFY(!FileExists(room.Folder.Path("Tests/gradebook.csv")));
    QCOMPARE(ResultsForm->PendingCount(), 1);
  }
};

QTEST_MAIN(CandidatesTest)
#include "Candidates_test.moc"
