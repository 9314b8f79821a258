// Import and export in the editor: the summary comes first, nothing changes
// unless it is accepted, and a refused file leaves the set as it was.
#include <QtTest>

#include "app/FileDialogs.h"
#include "app/core/FileIO.h"
#include "editor/AddEditForm.h"
#include "testkit/EditorHarness.h"
#include "testkit/MessageScript.h"

using namespace proctorium;
using namespace proctorium::testkit;

class SetExchangeTest : public TEditorTest {
  Q_OBJECT

  // The file dialogs answer with this file in the Tests folder.
  void Choose(const std::string& name) {
    const QString path = QString::fromStdString(Folder->Path("Tests/" + name));
    SetFileDialogHook([path](bool, const QString&, const QString&) { return path; });
  }

 private slots:
  void cleanup() {
    SetFileDialogHook(nullptr);
    Folder.reset();
  }

  void importShowsTheSummaryAndAddsOnlyOnYes_data() {
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("summary");
    QTest::addColumn<int>("after");
    const QString three = "3 questions will be added; 1 question skipped: line 5: 10 answers, at most 8 fit";
    QTest::newRow("yes") << 1 << int(mrYes) << three << 4;
    QTest::newRow("no") << 1 << int(mrNo) << three << 1;
    QTest::newRow("full at 250") << 248 << int(mrYes)
                                 << "2 questions will be added; 2 questions skipped: line 5: 10 answers, at most 8 "
                                    "fit; line 4: a set holds at most 250 questions"
                                 << 250;
  }
  void importShowsTheSummaryAndAddsOnlyOnYes() {
    QFETCH(int, before);
    QFETCH(int, answer);
    QFETCH(QString, summary);
    QFETCH(int, after);
    Open(MakeSet(before));
    Folder->WriteFile("Tests/more.csv",
                      "question,A,B,C,D,E,F,G,H,I,J,correct\nOne,a,b,,,,,,,,,A\nTwo,a,b,,,,,,,,,B\nThree,a,b,,,,,,,,,"
                      "AB\nTen,1,2,3,4,5,6,7,8,9,10,A\n");
    Choose("more.csv");
    TMessageScript msgs;
    msgs.Expect(summary + "\n\nAdd them to the question set ?", TMsgDlgType::Confirmation, mbYes | mbNo, answer);
    F->btnImport->click();
    VERIFY_MESSAGES(msgs);
    QCOMPARE(F->QuestionSet.LastIndex, after);
    QCOMPARE(F->SetChanged, answer == mrYes);
    if (answer == mrYes) {
      QCOMPARE(F->QuestionSet.Current, before + 1);
      QCOMPARE(F->memoQuestion->toPlainText(), QStringLiteral("One"));
      QCOMPARE(F->QuestionSet.Questions[before + 2].CorrectMask, AnswerMask(2));
    }
  }

  void refusedFileNamesTheLineAndChangesNothing() {
    Open(MakeSet(2));
    Folder->WriteFile("Tests/broken.txt", "Q?\nA. x\nB. y\n");
    Choose("broken.txt");
    TMessageScript msgs;
    msgs.Expect("The file cannot be imported:\nbroken.txt: line 3: the last question has no ANSWER: line",
                TMsgDlgType::Warning, mbOK);
    F->btnImport->click();
    VERIFY_MESSAGES(msgs);
    QCOMPARE(F->QuestionSet.LastIndex, 2);
    QVERIFY(!F->SetChanged);
  }

  void exportWritesTheFileAndReports() {
    Open(MakeSet(3));
    Choose("out.gift");
    TMessageScript msgs;
    msgs.Expect("3 questions exported", TMsgDlgType::Information, mbOK);
    F->btnExport->click();
    VERIFY_MESSAGES(msgs);
    std::string bytes;
    QVERIFY(ReadWholeFile(Folder->Path("Tests/out.gift"), bytes));
    QCOMPARE(std::count(bytes.begin(), bytes.end(), '{'), 3);
    QVERIFY(!F->SetChanged);
  }
};

QTEST_MAIN(SetExchangeTest)
#include "SetExchange_test.moc"
