#include <QtTest>
#include <functional>

#include "app/PasswordDlg.h"
#include "app/StartForm.h"
#include "app/TestSettingsDlg.h"
#include "base/core/Ascii.h"
#include "base/core/FileIO.h"
#include "base/core/OptionsFile.h"
#include "questions/GetFilename.h"
#include "session/Form1.h"
#include "session/core/TestSettings.h"
#include "testkit/EditorHarness.h"
#include "testkit/MessageScript.h"
#include "testkit/ModalScript.h"
#include "testkit/TempProgramFolder.h"

using namespace proctorium;
using testkit::TMessageScript;
using testkit::TModalScript;
using testkit::TTempProgramFolder;

namespace {

TOptionsRecord Admin(const std::string& password) {
  TOptionsRecord o;
  o.AllowEdits = true;
  o.DeletePermitted = true;
  o.AdminPassword = Scramble(UpperAscii(password));
  return o;
}

TModalScript::TStep Password(const QString& text, const char* button = "btnOk") {
  return [text, button](QDialog* d) {
    qobject_cast<TPasswordDlg*>(d)->EditPassword->setText(text);
    return TModalScript::Click(d, button);
  };
}

TTestSettings Read(const TTempProgramFolder& folder, const std::string& set = "Quiz.qst") {
  return ReadTestSettings(folder.Path("Tests/" + set));
}

std::string Now(int addSeconds) {
  return QDateTime::currentDateTime().addSecs(addSeconds).toString("yyyy-MM-dd HH:mm").toStdString();
}

}  // namespace

class TestSettingsDlgTest : public QObject {
  Q_OBJECT
 private slots:
  // The dialog shows what is stored and gives back what is chosen; exam
  // mode always scores out of every question.
  void dialogShowsAndReturnsEachSetting() {
    TTestSettingsDlg dlg;
    TTestSettings s;
    s.Clock = TClockRule::Countdown;
    s.CountdownMinutes = 40;
    s.RunningScore = false;
    s.AnswersButton = false;
    s.Review = TReviewRule::OnRelease;
    s.ReviewReleased = true;
    s.ScoreAllQuestions = true;
    s.DrawCount = 12;
    s.StartPassword = Scramble("ROOM4");
    s.OpenFrom = "2026-12-07 09:00";
    s.OpenUntil = "2026-12-07 11:15";
    dlg.Load(s, "Quiz.qst");
    QCOMPARE(dlg.Result(), s);  // a blank password box keeps the stored one
    dlg.edPassword->setText("new one");
    s.StartPassword = Scramble("NEW ONE");
    QCOMPARE(dlg.Result(), s);
    dlg.cbExamMode->setChecked(true);
    QVERIFY(dlg.rbScoreAll->isChecked() && !dlg.rbScoreSeen->isEnabled());
    dlg.cbPassword->setChecked(false);
    dlg.cbOpenFrom->setChecked(false);
    dlg.rbReviewNever->setChecked(true);
    QVERIFY(!dlg.cbReleased->isEnabled());
    const TTestSettings r = dlg.Result();
    QVERIFY(r.ExamMode && r.ScoresAll() && r.StartPassword.empty() && r.OpenFrom.empty());
    QCOMPARE(r.Review, TReviewRule::Never);
    QVERIFY(!r.ReviewReleased);
    dlg.Load({}, "Quiz.qst");
    QCOMPARE(dlg.Result(), TTestSettings{});
  }

  // Behind the administrator password, for the highlighted set; OK writes
  // the file beside the set, Cancel and a wrong password leave it alone, and
  // the OK button refuses a window that closes before it opens.
  void reachedFromTheStartWindowBehindThePassword() {
    struct Row {
      const char* name;
      QString password;
      const char* button;  // in the settings dialog; null: never reached
      bool badWindow;
      bool written;
    };
    const Row rows[] = {
        {"ok", "secret", "btnOk", false, true},
        {"cancel", "secret", "btnCancel", false, false},
        {"wrong password", "guess", nullptr, false, false},
        {"closes before it opens", "secret", "btnOk", true, true},
    };
    for (const Row& row : rows) {
      TTempProgramFolder folder(Admin("secret"));
      folder.WriteSet("Another.qst", testkit::MakeSet(1));
      folder.WriteSet("Quiz.qst", testkit::MakeSet(3));
      folder.ShowStartWindow();
      StartForm->FileListBox1->SetItemIndex(1);
      TMessageScript messages;
      TModalScript modals;
      if (row.button) {
        modals.Expect("PasswordDlg", Password(row.password));
        modals.Expect("TestSettingsDlg", [&](QDialog* d) {
          auto* dlg = qobject_cast<TTestSettingsDlg*>(d);
          STEP_COMPARE(dlg->windowTitle(), QString("Test settings [Quiz.qst]"));
          dlg->cbExamMode->setChecked(true);
          dlg->rbClockCountdown->setChecked(true);
          dlg->edMinutes->setValue(30);
          if (row.badWindow) {
            dlg->cbOpenFrom->setChecked(true);
            dlg->cbOpenUntil->setChecked(true);
            dlg->dtOpenUntil->setDateTime(dlg->dtOpenFrom->dateTime().addSecs(-60));
            messages.Expect("The test must open before it closes.", TMsgDlgType::Warning, mbOK);
            TModalScript::Click(d, "btnOk");
            STEP_COMPARE(d->result(), 0);  // still open
            dlg->cbOpenUntil->setChecked(false);
          }
          return TModalScript::Click(d, row.button);
        });
      } else {
        modals.Expect("PasswordDlg", [&](QDialog* d) {
          messages.Expect("Password incorrect", TMsgDlgType::Warning, mbOK);
          Password(row.password)(d);
          return TModalScript::Click(d, "btnCancel");
        });
      }
      StartForm->TestSettings1->trigger();
      VERIFY_MODALS(modals);
      VERIFY_MESSAGES(messages);
      QCOMPARE(FileExists(folder.Path("Tests/Quiz.qst.exam")), row.written);
      QVERIFY(!FileExists(folder.Path("Tests/Another.qst.exam")));
      if (row.written) {
        const TTestSettings s = Read(folder);
        QVERIFY(s.ExamMode);
        QCOMPARE(s.CountdownMinutes, 30);
        QCOMPARE(s.OpenUntil, std::string());
      }
    }
  }

  // Whether the highlighted set may be started: its opening time and its
  // start password, checked before any test window opens.
  void startIsGatedByTimeAndPassword() {
    struct Row {
      const char* name;
      std::string from, until, password;
      QString typed;  // empty: no prompt expected
      QString message;
      bool started;
    };
    const Row rows[] = {
        {"open", Now(-3600), Now(3600), "", "", "", true},
        {"not yet", Now(7200), "", "", "", "This test opens at %1.", false},
        {"closed", "", Now(-60), "", "", "This test closed at %1.", false},
        {"right password", "", "", "day1", "Day1", "", true},
        {"wrong password", "", "", "day1", "day2", "Password incorrect", false},
    };
    for (const Row& row : rows) {
      TTempProgramFolder folder(Admin("secret"));
      folder.WriteSet("Quiz.qst", testkit::MakeSet(3));
      TTestSettings s;
      s.OpenFrom = row.from;
      s.OpenUntil = row.until;
      if (!row.password.empty()) s.StartPassword = Scramble(UpperAscii(row.password));
      WriteTestSettings(folder.Path("Tests/Quiz.qst"), s);
      folder.ShowStartWindow();
      TMessageScript messages;
      TModalScript modals;
      const QString when = QString::fromStdString(row.from.empty() ? row.until : row.from);
      if (!row.typed.isEmpty()) {
        modals.Expect("StartPasswordDlg", [&](QDialog* d) {
          if (!row.message.isEmpty()) messages.Expect(row.message, TMsgDlgType::Warning, mbOK);
          Password(row.typed)(d);
          return d->isVisible() ? TModalScript::Click(d, "btnCancel") : d->result();
        });
      } else if (!row.message.isEmpty()) {
        messages.Expect(row.message.arg(when), TMsgDlgType::Information, mbOK);
      }
      bool started = false;
      if (row.started)
        modals.Expect("Form1", [&](QDialog* d) {
          started = true;
          messages.Answer(mrNo);  // no save on close
          Form1->btnEndReview->click();
          Form1->btnClose->click();
          return d->result();
        });
      StartForm->btnStartClick();
      VERIFY_MODALS(modals);
      VERIFY_MESSAGES(messages);
      QCOMPARE(started, row.started);
    }
  }

  // The settings go where the set goes: deleting the set deletes them, and
  // a new set added over an old one does not inherit them.
  void settingsFollowTheSet() {
    TTempProgramFolder folder(Admin(""));
    folder.WriteSet("Quiz.qst", testkit::MakeSet(3));
    folder.WriteSet("Other.qst", testkit::MakeSet(3));
    folder.WriteFile("Tests/Blank.dat", folder.ReadFile("Tests/Quiz.qst"));
    TTestSettings s;
    s.ExamMode = true;
    for (const char* set : {"Quiz.qst", "Other.qst"}) WriteTestSettings(folder.Path(std::string("Tests/") + set), s);
    folder.ShowStartWindow();

    TMessageScript messages;
    TModalScript modals;
    modals.Expect("GetFilename", [](QDialog* d) {
      qobject_cast<TGetFilename*>(d)->Edit1->setText("Other");
      return TModalScript::Click(d, "btnOk");
    });
    messages.Answer(mrYes);  // overwrite
    StartForm->btnAdd->click();
    QVERIFY(!FileExists(folder.Path("Tests/Other.qst.exam")));

    StartForm->FileListBox1->SetItemIndex(1);
    QCOMPARE(StartForm->FileListBox1->currentItem()->text(), "Quiz.qst");
    messages.Answer(mrYes);  // delete
    StartForm->btnDelete->click();
    VERIFY_MODALS(modals);
    VERIFY_MESSAGES(messages);
    QVERIFY(!FileExists(folder.Path("Tests/Quiz.qst")));
    QVERIFY(!FileExists(folder.Path("Tests/Quiz.qst.exam")));
  }
};

QTEST_MAIN(TestSettingsDlgTest)
#include "TestSettingsDlg_test.moc"
