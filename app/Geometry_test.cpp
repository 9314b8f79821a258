// Every window at every font size the settings can give, in each of the
// common desktop font families: no control's text is cut off and no two
// controls overlap. Run once as it is and once with the desktop's scaling
// doubled (QT_SCALE_FACTOR, see CMakeLists). A family that is not installed
// is skipped by name, so the outcome never depends on the machine's fonts.

#include <QApplication>
#include <QFontDatabase>
#include <QtTest>
#include <functional>

#include "app/AboutBox.h"
#include "app/AdminOptions.h"
#include "app/NewPasswordDlg.h"
#include "app/PasswordDlg.h"
#include "app/StartForm.h"
#include "app/TestSettingsDlg.h"
#include "base/ModalSeam.h"
#include "candidates/CandidateDlg.h"
#include "candidates/core/Gradebook.h"
#include "editor/AddEditForm.h"
#include "editor/CsvColumnsDialog.h"
#include "editor/ExhibitManager.h"
#include "editor/ShowForm.h"
#include "questions/GetFilename.h"
#include "questions/SearchForm.h"
#include "session/AnswersDlg.h"
#include "session/Form1.h"
#include "session/ResultsForm.h"
#include "session/StatisticsForm.h"
#include "session/TimerValue.h"
#include "session/core/CandidateReport.h"
#include "session/core/DetailLog.h"
#include "testkit/Geometry.h"
#include "testkit/MessageScript.h"
#include "testkit/ModalScript.h"
#include "testkit/TempProgramFolder.h"

using namespace proctorium;
using testkit::LayoutFaults;
using testkit::TModalScript;

namespace {

// A set whose texts fill a window: a long name, a long question, all eight
// answers, notes and an exhibit beside the text.
TQuestionSet FullSet() {
  TQuestionSet set = testkit::MakeSet(3, "Networking Fundamentals, a long description of the set");
  TQuestion& q = set.Questions[1];
  q.Text = "Which of the following are features of TCP but not of UDP, when both carry the same application data?";
  for (int a = 0; a < AnswerCount; ++a) q.Answers[a] = "Answer " + std::string(1, static_cast<char>('A' + a)) + " text";
  q.AnswerType = TAnswerType::Multiple;
  q.CorrectMask = 0x05;
  q.Remarks = "Both use port numbers; only TCP is connection-oriented.";
  q.ExhibitFile = "chart.bmp";
  return set;
}

// Three saved tests of FullSet, so the statistics window has a series to show.
std::string DetailLog(const TQuestionSet& set) {
  std::string bytes;
  for (int t = 0; t < 3; ++t) {
    const std::string n = std::to_string(t);
    TDetailTest test{"2026-12-07 10:0" + n + ":00", "id" + n,      "Networking Fundamentals.qst",
                     SetFingerprint(set),           set.LastIndex, {}};
    for (int q = 1; q <= set.LastIndex; ++q)
      test.Outcomes.push_back({static_cast<std::int16_t>(q), 0b11, static_cast<AnswerMask>(1 << (t % 2)), 1, t == 0});
    bytes += DetailLogRecords(test, t == 0);
  }
  return bytes;
}

}  // namespace

class GeometryTest : public QObject {
  Q_OBJECT
 private slots:
  void everyWindowFitsItsTexts_data() {
    QTest::addColumn<QString>("family");
    QTest::addColumn<int>("fontSize");
    // URW Gothic stands for the wide faces.
    for (const char* family : {"DejaVu Sans", "Noto Sans", "Liberation Sans", "URW Gothic"})
      for (int size : {8, 10, 12, 14, 16, 20, 24}) QTest::addRow("%s %d", family, size) << QString(family) << size;
  }
  void everyWindowFitsItsTexts() {
    QFETCH(QString, family);
    QFETCH(int, fontSize);
    if (!QFontDatabase::hasFamily(family)) QSKIP(qPrintable(family + " is not installed"));
    // At double scaling 24 points is 48 on screen: the statistics summary
    // then needs more than the offscreen screen's height.
    if (fontSize > 20 && qEnvironmentVariableIsSet("QT_SCALE_FACTOR"))
      QSKIP("24 points at double scaling is beyond the screen");
    const QFont before = QApplication::font();
    QFont font = before;
    font.setFamilies({family});
    QApplication::setFont(font);
    struct TRestore {
      QFont Font;
      ~TRestore() { QApplication::setFont(Font); }
    } restore{before};
    TOptionsRecord o;
    o.FontSize = static_cast<std::uint8_t>(fontSize);
    o.AllowEdits = o.DeletePermitted = o.EnableClearResults = true;
    testkit::TTempProgramFolder folder(o);
    folder.WriteSet("Networking Fundamentals.qst", FullSet());
    folder.WriteBitmap("chart.bmp", 120, 90);
    folder.WriteFile("Tests/results.txt", "7 Dec 2026  Networking Fundamentals.qst     Time taken: 00:01:00\r\n");
    folder.WriteFile("Tests/results-detail.csv", DetailLog(FullSet()));
    // Long names and every column filled, as a grading teacher sees them.
    TGradebookEntry graded;
    graded.DateTime = "2026-12-07 10:00:00";
    graded.CandidateName = "Maximilian Alexander Oppenheimer-Lindqvist";
    graded.CandidateId = "S2026-0042";
    graded.SetFile = "Networking Fundamentals.qst";
    graded.Fingerprint = SetFingerprint(FullSet());
    graded.QuestionsSeen = graded.QuestionsInSet = FullSet().LastIndex;
    graded.Correct = 1;
    graded.Percent = 50;
    graded.SecondsTaken = 3725;
    graded.Result = ResultNotPassed;
    graded.TestId = "id0";
    graded.FocusLost = 2;
    folder.WriteFile("Tests/gradebook.csv", GradebookRecord(graded, true));
    folder.CreateForms();
    testkit::TMessageScript messages;
    TModalScript modals;
    QStringList faults;
    auto check = [&faults](const char* name, QWidget* w, const QStringList& overlays = {}) {
      QApplication::processEvents();
      if (const QStringList f = LayoutFaults(w, overlays); !f.isEmpty()) faults << name + QString(": ") + f.join("; ");
    };

    StartForm->show();
    check("start window", StartForm);

    modals.Expect("Form1", [&](QDialog* d) {
      auto* f = static_cast<TForm1*>(d);
      check("test window", f, {QStringLiteral("FocusMark")});
      f->btnNext->click();  // the question with all answers and the exhibit
      f->btnView->click();  // notes shown
      check("test window, answers shown", f, {QStringLiteral("FocusMark")});
      f->btnView->click();
      f->btnGoto->click();
      check("test window, question list", f, {QStringLiteral("FocusMark")});
      f->btnEndReview->click();
      f->btnEndReview->click();
      check("test window, review", f, {QStringLiteral("FocusMark")});
      messages.Answer(mrNo);
      f->btnClose->click();
      return d->result();
    });
    StartForm->btnStartClick();

    modals.Expect("AddEditForm", [&](QDialog* d) {
      auto* e = static_cast<TAddEditForm*>(d);
      check("editor", e);
      e->GoToQuestion(1);
      // The thumbnail's box is placed one pixel in, at the panel's full width.
      check("editor, exhibit", e, {QStringLiteral("Image1")});
      e->btnFind->click();
      check("find", SearchForm);
      SearchForm->close();
      e->btnClose->click();
      return d->result();
    });
    StartForm->btnEditClick();

    modals.Expect("StatisticsForm", [&](QDialog* d) {
      check("statistics", d);
      d->hide();
      return int(mrCancel);
    });
    ResultsForm->btnStatisticsClick();

    modals.Expect("ResultsForm", [&](QDialog* d) {
      auto* results = static_cast<TResultsForm*>(d);
      results->tabsResults->setCurrentIndex(1);
      check("results, Class page", d);
      results->tabsResults->setCurrentIndex(0);
      d->hide();
      return int(mrCancel);
    });
    ExecModal(ResultsForm);

    TTestSettingsDlg examSettings(StartForm);
    examSettings.Load(TTestSettings(), QStringLiteral("Networking Fundamentals.qst"));
    TDetailTest detail;
    FindDetailTest(DetailLog(FullSet()), "id0", detail);
    TAnswersDlg answers(StartForm, graded, &detail);
    TCsvColumns guess;
    guess.Question = 0;
    guess.Answers = {1, 2, 3};
    guess.Key = 4;
    TCsvColumnsDialog csvColumns(
        StartForm, {"Question text", "First answer", "Second answer", "Third answer", "Correct answer (letters)"},
        guess);
    TGetFilename name(StartForm);
    TExhibitManager picker(StartForm);
    TShowForm viewer(StartForm);
    viewer.FileName = folder.Path("Tests/chart.bmp");
    TCandidateDlg who(StartForm);
    who.Prepare(true, {}, false);
    for (QDialog* dlg :
         std::initializer_list<QDialog*>{ResultsForm, TimerValue, PasswordDlg, NewPasswordDlg, AdminOptions, AboutBox,
                                         &name, &picker, &viewer, &who, &examSettings, &answers, &csvColumns}) {
      modals.Expect(dlg->objectName(), [&](QDialog* d) {
        // The picker's warning lies over its list.
        check(qPrintable(d->objectName()), d, {QStringLiteral("WarningPanel")});
        d->hide();
        return int(mrCancel);
      });
      ExecModal(dlg);
    }
    VERIFY_MODALS(modals);
    VERIFY_MESSAGES(messages);
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("\n"))));
  }
};

QTEST_MAIN(GeometryTest)
#include "Geometry_test.moc"
