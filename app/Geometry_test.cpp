// Every window at every font size the settings can give: no control's text
// is cut off and no two controls overlap. Run once as it is and once with
// the desktop's scaling doubled (QT_SCALE_FACTOR, see CMakeLists).

#include <QApplication>
#include <QtTest>
#include <functional>

#include "app/AboutBox.h"
#include "app/AdminOptions.h"
#include "app/NewPasswordDlg.h"
#include "app/PasswordDlg.h"
#include "app/StartForm.h"
#include "base/ModalSeam.h"
#include "candidates/CandidateDlg.h"
#include "editor/AddEditForm.h"
#include "editor/ExhibitManager.h"
#include "editor/ShowForm.h"
#include "questions/GetFilename.h"
#include "questions/SearchForm.h"
#include "session/Form1.h"
#include "session/ResultsForm.h"
#include "session/StatisticsForm.h"
#include "session/TimerValue.h"
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
    QTest::addColumn<int>("fontSize");
    for (int size = 8; size <= 20; size += 2) QTest::addRow("font %d", size) << size;
  }
  void everyWindowFitsItsTexts() {
    QFETCH(int, fontSize);
    TOptionsRecord o;
    o.FontSize = static_cast<std::uint8_t>(fontSize);
    o.AllowEdits = o.DeletePermitted = o.EnableClearResults = true;
    testkit::TTempProgramFolder folder(o);
    folder.WriteSet("Networking Fundamentals.qst", FullSet());
    folder.WriteBitmap("chart.bmp", 120, 90);
    folder.WriteFile("Tests/results.txt", "7 Dec 2026  Networking Fundamentals.qst     Time taken: 00:01:00\r\n");
    folder.WriteFile("Tests/results-detail.csv", DetailLog(FullSet()));
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
      check("test window", f);
      f->btnNext->click();  // the question with all answers and the exhibit
      f->btnView->click();  // notes shown
      check("test window, answers shown", f);
      f->btnView->click();
      f->btnGoto->click();
      check("test window, question list", f);
      f->btnEndReview->click();
      f->btnEndReview->click();
      check("test window, review", f);
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

    TGetFilename name(StartForm);
    TExhibitManager picker(StartForm);
    TShowForm viewer(StartForm);
    viewer.FileName = folder.Path("Tests/chart.bmp");
    TCandidateDlg who(StartForm);
    who.Prepare(true, {}, false);
    for (QDialog* dlg : std::initializer_list<QDialog*>{ResultsForm, TimerValue, PasswordDlg, NewPasswordDlg,
                                                        AdminOptions, AboutBox, &name, &picker, &viewer, &who}) {
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
