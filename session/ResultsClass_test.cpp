#include <QAccessible>
#include <QApplication>
#include <QFileDialog>
#include <QHeaderView>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include "app/StartForm.h"
#include "base/ModalSeam.h"
#include "base/core/FileIO.h"
#include "candidates/core/Gradebook.h"
#include "session/AnswersDlg.h"
#include "session/ResultsForm.h"
#include "session/core/Csv.h"
#include "session/core/DetailLog.h"
#include "testkit/MessageScript.h"
#include "testkit/ModalScript.h"
#include "testkit/TempProgramFolder.h"

using namespace proctorium;
using testkit::TMessageScript;
using testkit::TModalScript;

namespace {

TQuestionSet Quiz() {
  TQuestionSet set;
  set.Add(TQuestion());  // record 0 describes the set
  for (int q = 1; q <= 3; ++q) {
    TQuestion question;
    question.Text = "What is " + std::to_string(q) + "?";
    question.Answers[0] = "one";
    question.Answers[1] = "two";
    question.CorrectMask = 1;
    question.Remarks = "Chapter " + std::to_string(q);
    set.Add(question);
  }
  return set;
}

struct TSaved {
  const char* Name;
  const char* Id;
  const char* Date;
  AnswerMask Answers[3];
};

// Saved tests of Quiz.qst in the gradebook and the detail log, as saving does.
void WriteClass(testkit::TTempProgramFolder& folder, const std::vector<TSaved>& saved) {
  const TQuestionSet set = Quiz();
  folder.WriteSet("Quiz.qst", set);
  std::string gradebook, detail;
  for (std::size_t i = 0; i < saved.size(); ++i) {
    const TSaved& s = saved[i];
    TDetailTest test;
    test.DateTime = s.Date;
    test.TestId = "test-" + std::to_string(i);
    test.SetFile = "Quiz.qst";
    test.Fingerprint = SetFingerprint(set);
    test.QuestionsInSet = 3;
    int correct = 0;
    for (int q = 0; q < 3; ++q) {
      test.Outcomes.push_back({static_cast<std::int16_t>(q + 1), 3, s.Answers[q], 1, s.Answers[q] == 1});
      correct += s.Answers[q] == 1;
    }
    detail += DetailLogRecords(test, i == 0);
    TGradebookEntry e;
    e.DateTime = s.Date;
    e.CandidateName = s.Name;
    e.CandidateId = s.Id;
    e.SetFile = "Quiz.qst";
    e.Fingerprint = test.Fingerprint;
    e.QuestionsSeen = e.QuestionsInSet = 3;
    e.Correct = correct;
    e.Percent = correct * 100 / 3;
    e.SecondsTaken = 125;
    e.Result = correct >= 2 ? ResultPassed : ResultNotPassed;
    e.TestId = test.TestId;
    gradebook += GradebookRecord(e, i == 0);
  }
  folder.WriteFile("Tests/gradebook.csv", gradebook);
  folder.WriteFile("Tests/results-detail.csv", detail);
}

const std::vector<TSaved> ClassOfThree = {
    {"Ann Lee", "S1", "2026-12-07 09:00:00", {2, 2, 1}},
    {"=Bob", "S2", "2026-12-07 09:05:00", {1, 1, 0}},
    {"Ann Lee", "S1", "2026-12-07 10:00:00", {1, 2, 1}},
};

// Opens the results window on its Class page.
void OpenClassPage() {
  SetModalHook([](QDialog* d) {
    static_cast<TResultsForm*>(d)->tabsResults->setCurrentIndex(1);
    return 0;
  });
  ExecModal(ResultsForm);
  SetModalHook({});
  ResultsForm->show();
  QVERIFY(QTest::qWaitForWindowExposed(ResultsForm));
}

QString PdfText(const QString& pdf) {
  QProcess p;
  p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
  p.waitForFinished(30000);
  return QString::fromUtf8(p.readAllStandardOutput());
}

QStringList Column(int column) {
  QStringList out;
  for (int r = 0; r < ResultsForm->ClassModel->rowCount(); ++r)
    out << ResultsForm->ClassModel->index(r, column).data().toString();
  return out;
}

// Answers the save dialog with path, after checking it offers the user's
// documents folder.
void SaveAs(TModalScript& modals, const std::string& path, QString* offered) {
  modals.Expect("SaveFileDialog", [path, offered](QDialog* dlg) {
    auto* files = static_cast<QFileDialog*>(dlg);
    *offered = files->directory().absolutePath();
    files->selectFile(QString::fromStdString(path));
    QMetaObject::invokeMethod(dlg, "accept");
    return dlg->result();
  });
}

}  // namespace

class ResultsClassTest : public QObject {
  Q_OBJECT
 private slots:
  // Saves are offered in the user's documents folder: one of a home of the
  // test's own, so the test neither needs nor touches the real one.
  void initTestCase() {
    QVERIFY(Home_.isValid());
    QVERIFY(QDir(Home_.path()).mkpath(QStringLiteral("Documents")));
    qputenv("HOME", Home_.path().toUtf8());
  }

  // One row per saved test, the latest attempt said in words; filters by set
  // and candidate; sorting by a column's title.
  void showsFiltersAndSortsTheClass() {
    testkit::TTempProgramFolder folder;
    WriteClass(folder, ClassOfThree);
    folder.CreateForms();
    OpenClassPage();
    QCOMPARE(Column(ClassName), QStringList({"Ann Lee", "=Bob", "Ann Lee"}));
    QCOMPARE(Column(ClassLatest), QStringList({"", "Latest", "Latest"}));
    QCOMPARE(ResultsForm->lbClass->text(), QStringLiteral("3 of 3 tests shown"));
    const struct {
      const char* Set;
      const char* Candidate;
      QStringList Names;
    } filters[] = {
        {"quiz", "", {"Ann Lee", "=Bob", "Ann Lee"}},
        {"", "s2", {"=Bob"}},
        {"QUIZ", "ann", {"Ann Lee", "Ann Lee"}},
        {"other", "", {}},
    };
    for (const auto& f : filters) {
      ResultsForm->edFilterSet->clear();
      ResultsForm->edFilterCandidate->clear();
      QTest::keyClicks(ResultsForm->edFilterSet, f.Set);
      QTest::keyClicks(ResultsForm->edFilterCandidate, f.Candidate);
      QCOMPARE(Column(ClassName), f.Names);
    }
    ResultsForm->edFilterSet->clear();
    ResultsForm->edFilterCandidate->clear();
    QHeaderView* header = ResultsForm->tblClass->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(ClassPercent) + 5, header->height() / 2));
    const QStringList first = Column(ClassPercent);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(ClassPercent) + 5, header->height() / 2));
    const QStringList second = Column(ClassPercent);
    // Numbers as numbers, one way and then the other.
    const QStringList up{"33", "66", "66"}, down{"66", "66", "33"};
    QVERIFY((first == up && second == down) || (first == down && second == up));
  }

  // Double-click opens the test's answers question by question.
  void doubleClickShowsTheAnswers() {
    testkit::TTempProgramFolder folder;
    WriteClass(folder, ClassOfThree);
    folder.CreateForms();
    OpenClassPage();
    QTableView* table = ResultsForm->tblClass;
    const QRect cell = table->visualRect(ResultsForm->ClassModel->index(0, ClassName));
    TModalScript modals;
    modals.Expect("AnswersDlg", [](QDialog* d) {
      auto* answers = static_cast<TAnswersDlg*>(d);
      QStringList rows;
      for (int r = 0; r < answers->tblAnswers->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < 4; ++c) cells << answers->tblAnswers->item(r, c)->text();
        rows << cells.join(' ');
      }
      [&] { QCOMPARE(rows, QStringList({"1 B A Wrong", "2 B A Wrong", "3 A A Right"})); }();
      [&] { QVERIFY(answers->windowTitle().contains("Ann Lee")); }();
      answers->btnClose->click();
      return d->result();
    });
    // A real double-click starts with a press, which the view needs to
    // know the row; the test's double-click event alone has none.
    QTest::mousePress(table->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseRelease(table->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, cell.center());
    VERIFY_MODALS(modals);
  }

  // Without a mouse: Enter on a row opens its answers (not the window's
  // default button), the sort is chosen by name and turned round by key,
  // and a screen reader hears a name for every control of the page.
  void keyboardOpensAnswersAndSorts() {
    testkit::TTempProgramFolder folder;
    WriteClass(folder, ClassOfThree);
    folder.CreateForms();
    OpenClassPage();
    ResultsForm->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(ResultsForm));
    QTableView* table = ResultsForm->tblClass;
    table->setFocus();
    table->setCurrentIndex(ResultsForm->ClassModel->index(2, ClassName));
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
      TModalScript modals;
      QString title;
      modals.Expect("AnswersDlg", [&title](QDialog* d) {
        title = d->windowTitle();
        static_cast<TAnswersDlg*>(d)->btnClose->click();
        return d->result();
      });
      QTest::keyClick(table, key);
      VERIFY_MODALS(modals);
      QCOMPARE(title, QStringLiteral("Answers: Ann Lee - Quiz.qst"));
    }
    QTest::keyClick(ResultsForm, Qt::Key_T, Qt::AltModifier);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(ResultsForm->cbSortClass));
    QTest::keyClicks(ResultsForm->cbSortClass, "Per");
    QCOMPARE(ResultsForm->cbSortClass->currentText(), QStringLiteral("Per cent"));
    QCOMPARE(Column(ClassPercent), QStringList({"33", "66", "66"}));
    QTest::keyClick(ResultsForm, Qt::Key_G, Qt::AltModifier);
    QTRY_VERIFY(ResultsForm->chkSortDescending->isChecked());  // a mnemonic clicks after a short show of the press
    QCOMPARE(Column(ClassPercent), QStringList({"66", "66", "33"}));
    QCOMPARE(table->horizontalHeader()->sortIndicatorSection(), int(ClassPercent));
    // Back to the order of saving, turned round: the newest first.
    ResultsForm->cbSortClass->setCurrentIndex(0);
    QCOMPARE(Column(ClassDateTime), QStringList({"2026-12-07 10:00:00", "2026-12-07 09:05:00", "2026-12-07 09:00:00"}));
    // A click on a title shows in the controls.
    QHeaderView* header = table->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(ClassName) + 5, header->height() / 2));
    QCOMPARE(ResultsForm->cbSortClass->currentText(), QStringLiteral("Candidate name"));
    QAccessible::setActive(true);
    for (QWidget* w : std::initializer_list<QWidget*>{table, ResultsForm->edFilterSet, ResultsForm->edFilterCandidate,
                                                      ResultsForm->cbSortClass, ResultsForm->chkSortDescending}) {
      QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
      QVERIFY2(a && !a->text(QAccessible::Name).trimmed().isEmpty(), qPrintable(w->objectName()));
    }
  }

  // Clear asks once, saying that the answers and the gradebook go with the
  // summary, and empties the three logs together: No keeps all, Yes leaves
  // the Log and Class pages and every log empty.
  void clearEmptiesTheThreeLogsTogether() {
    TOptionsRecord options;
    options.EnableClearResults = true;
    testkit::TTempProgramFolder folder(options);
    WriteClass(folder, ClassOfThree);
    folder.WriteFile("Tests/results.txt", "3 tests\r\n");
    folder.CreateForms();
    StartForm->LoadOptions();
    OpenClassPage();
    const std::string before = folder.ReadFile("Tests/results.txt") + folder.ReadFile("Tests/results-detail.csv") +
                               folder.ReadFile("Tests/gradebook.csv");
    for (const int answer : {int(mrNo), int(mrYes)}) {
      TMessageScript messages;
      messages.Answer(answer);
      QVERIFY(ResultsForm->btnClear->isEnabled());
      ResultsForm->btnClear->click();
      QCOMPARE(messages.Shown().size(), size_t(1));
      const testkit::TShownMessage& asked = messages.Shown()[0];
      QVERIFY(asked.Text.startsWith(QStringLiteral("Are you sure you want to delete this summary ?")));
      QVERIFY(asked.Text.contains(QStringLiteral("results-detail.csv")));
      QVERIFY(asked.Text.contains(QStringLiteral("gradebook.csv")));
      QCOMPARE(asked.DefaultButton, unsigned(mbNo));
      const std::string after = folder.ReadFile("Tests/results.txt") + folder.ReadFile("Tests/results-detail.csv") +
                                folder.ReadFile("Tests/gradebook.csv");
      QCOMPARE(after, answer == mrNo ? before : std::string());
      QCOMPARE(ResultsForm->ClassModel->rowCount(), answer == mrNo ? 3 : 0);
      QCOMPARE(ResultsForm->Lines().join('|'), answer == mrNo ? QStringLiteral("3 tests") : QString());
    }
  }

  // Export saves the rows shown, offered in the documents folder, names
  // that would run as formulas neutralised, and says where it saved.
  void exportsTheRowsShown() {
    testkit::TTempProgramFolder folder;
    WriteClass(folder, ClassOfThree);
    folder.CreateForms();
    OpenClassPage();
    QTest::keyClicks(ResultsForm->edFilterCandidate, "bob");
    const std::string out = folder.Path("class.csv");
    TModalScript modals;
    QString offered;
    SaveAs(modals, out, &offered);
    TMessageScript messages;
    messages.Expect("Saved: " + QDir::toNativeSeparators(QString::fromStdString(out)), TMsgDlgType::Information, mbOK);
    ResultsForm->btnExportClass->click();
    VERIFY_MODALS(modals);
    VERIFY_MESSAGES(messages);
    QCOMPARE(offered, QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)).absolutePath());
    std::string csv;
    QVERIFY(ReadWholeFile(out, csv));
    TCsvReader reader(csv);
    std::vector<std::string_view> fields;
    QVERIFY(reader.Next(fields));
    QCOMPARE(std::string(fields[ClassName]), std::string("Candidate name"));
    QVERIFY(reader.Next(fields));
    QCOMPARE(std::string(fields[ClassName]), std::string("'=Bob"));
    QCOMPARE(std::string(fields[ClassResult]), std::string("Passed"));
    QVERIFY(!reader.Next(fields));
  }

  // A report per selected test, or one per candidate (latest attempt) for the
  // whole class, each on its own page; wrong answers with the correct one and
  // the reference, or only their numbers when answers are not to be shown.
  void reportsAsPdf() {
    const struct {
      const char* Name;
      bool EnableAnswers;
      std::vector<int> Selected;
      int Pages;
      QStringList Says;
      QStringList DoesNotSay;
    } cases[] = {
        {"one selected",
         true,
         {0},
         1,
         {"Test report: Ann Lee", "ID: S1", "Set: Quiz.qst", "Date: 2026-12-07 09:00:00", "Time taken: 0:02:05",
          "Score: 1 of 3 correct (33%)", "Result: Not passed", "Question 1: What is 1?", "Answer given: B",
          "Correct answer: A", "Reference: Chapter 1", "Question 2: What is 2?"},
         {"Question 3", "=Bob"}},
        {"answers not shown", false, {0}, 1, {"Test report: Ann Lee", "Questions 1, 2"}, {"Answer given", "Chapter"}},
        {"the whole class",
         true,
         {},
         2,
         {"Test report: =Bob", "Test report: Ann Lee", "Date: 2026-12-07 10:00:00"},
         {"09:00:00"}},
    };
    for (const auto& c : cases) {
      TOptionsRecord options;
      options.EnableAnswers = c.EnableAnswers;
      testkit::TTempProgramFolder folder(options);
      WriteClass(folder, ClassOfThree);
      folder.CreateForms();
      StartForm->LoadOptions();
      OpenClassPage();
      for (const int row : c.Selected)
        ResultsForm->tblClass->selectionModel()->select(ResultsForm->ClassModel->index(row, 0),
                                                        QItemSelectionModel::Select | QItemSelectionModel::Rows);
      const std::string out = folder.Path("report.pdf");
      TModalScript modals;
      QString offered;
      SaveAs(modals, out, &offered);
      TMessageScript messages;
      messages.Expect("Saved: " + QDir::toNativeSeparators(QString::fromStdString(out)), TMsgDlgType::Information,
                      mbOK);
      ResultsForm->btnReport->click();
      VERIFY_MODALS(modals);
      VERIFY_MESSAGES(messages);
      QVERIFY2(!offered.startsWith(QString::fromStdString(folder.Folder())), c.Name);
      const QString text = PdfText(QString::fromStdString(out));
      QCOMPARE(text.count(QLatin1Char('\f')), c.Pages);
      for (const QString& s : c.Says) QVERIFY2(text.contains(s), qPrintable(QString(c.Name) + ": " + s + "\n" + text));
      for (const QString& s : c.DoesNotSay)
        QVERIFY2(!text.contains(s), qPrintable(QString(c.Name) + ": " + s + "\n" + text));
    }
  }

 private:
  QTemporaryDir Home_;
};

QTEST_MAIN(ResultsClassTest)
#include "ResultsClass_test.moc"
