#include <QDir>
#include <QtTest>

#include "app/FileIO.h"
#include "app/ModalSeam.h"
#include "app/StartForm.h"
#include "test/ResultsForm.h"
#include "testkit/MessageScript.h"
#include "testkit/TempProgramFolder.h"

using namespace proctorium;
using testkit::TMessageScript;

namespace {

std::string Read(const testkit::TTempProgramFolder& folder) {
  std::string bytes;
  ReadWholeFile(folder.Path("Tests/results.txt"), bytes);
  return bytes;
}

}  // namespace

class ResultsFormTest : public QObject {
  Q_OBJECT
 private slots:
  void fileIsLoadedOnceAtCreation() {
    testkit::TTempProgramFolder folder;
    folder.WriteFile("Tests/results.txt", "one\r\n   two\r\n\r\n");
    folder.CreateForms();
    QCOMPARE(ResultsForm->Lines(), QStringList({"one", "   two", ""}));
    QCOMPARE(QString::fromStdString(ResultsForm->ResultsFileName),
             QString::fromStdString(folder.Path("Tests/results.txt")));
    // An outside edit is not read again, and is overwritten by the next change.
    folder.WriteFile("Tests/results.txt", "edited\r\n");
    ResultsForm->AddLines({"three"});
    QCOMPARE(Read(folder), std::string("one\r\n   two\r\n\r\nthree\r\n"));
  }

  void missingFileStartsEmptyAndIsCreatedByTheFirstAddition() {
    testkit::TTempProgramFolder folder;
    folder.CreateForms();
    QVERIFY(ResultsForm->Lines().isEmpty());
    QVERIFY(!FileExists(folder.Path("Tests/results.txt")));
    ResultsForm->AddLines({"a", "b", ""});
    ResultsForm->AddLines({"c", "d", ""});
    QCOMPARE(Read(folder), std::string("a\r\nb\r\n\r\nc\r\nd\r\n\r\n"));
  }

  void textIsStoredInTheWindowsCodePage() {
    testkit::TTempProgramFolder folder;
    folder.WriteFile("Tests/results.txt", "Caf\xe9\r\n");
    folder.CreateForms();
    QCOMPARE(ResultsForm->Lines(), QStringList({QString::fromUtf8("Caf\xc3\xa9")}));
    ResultsForm->AddLines({QString::fromUtf8("na\xc3\xafve")});
    QCOMPARE(Read(folder), std::string("Caf\xe9\r\nna\xefve\r\n"));
  }

  void unwritableFileIsReportedAndTheLinesKept() {
    testkit::TTempProgramFolder folder;
    QDir(QString::fromStdString(folder.Path("Tests"))).mkdir("results.txt");  // a folder in the file's place
    folder.CreateForms();
    TMessageScript messages;
    messages.Expect("The results could not be saved to " + QString::fromStdString(ResultsForm->ResultsFileName) +
                        "\nThey are kept in the results window for the rest of this session.",
                    TMsgDlgType::Warning, mbOK);
    ResultsForm->AddLines({"kept", ""});
    VERIFY_MESSAGES(messages);
    QCOMPARE(ResultsForm->Lines(), QStringList({"kept", ""}));
  }

  void clear_data() {
    QTest::addColumn<int>("answer");
    QTest::newRow("Yes empties the memo and removes the file") << int(mrYes);
    QTest::newRow("No changes nothing") << int(mrNo);
  }
  void clear() {
    QFETCH(int, answer);
    testkit::TTempProgramFolder folder;
    folder.WriteFile("Tests/results.txt", "x\r\n");
    folder.CreateForms();
    TMessageScript messages;
    messages.Expect("Are you sure you want to delete this summary ?", TMsgDlgType::Confirmation, mbYes | mbNo, answer);
    ResultsForm->btnClearClick();
    VERIFY_MESSAGES(messages);
    if (answer == mrYes) {
      QVERIFY(ResultsForm->Lines().isEmpty());
      QVERIFY(!FileExists(folder.Path("Tests/results.txt")));
    } else {
      QCOMPARE(ResultsForm->Lines(), QStringList({"x"}));
      QCOMPARE(Read(folder), std::string("x\r\n"));
    }
  }

  void showFollowsTheStartWindowAndEnablesClearOnlyWithLines() {
    TOptionsRecord o;
    o.FontSize = 12;
    o.ShowHints = false;
    o.EnableClearResults = true;
    testkit::TTempProgramFolder folder(o);
    folder.CreateForms();
    StartForm->LoadOptions();
    SetModalHook([](QDialog* d) { return d->result(); });
    ExecModal(ResultsForm);
    QVERIFY(!ResultsForm->btnClear->isEnabled());
    QVERIFY(!ResultsForm->btnClear->isHidden());
    QCOMPARE(ResultsForm->font().pointSize(), 12);
    QVERIFY(!ResultsForm->ShowHint());
    ResultsForm->AddLines({"x"});
    ExecModal(ResultsForm);
    QVERIFY(ResultsForm->btnClear->isEnabled());
    SetModalHook({});
  }

  void resizeKeepsTheMinimumAndPlacesTheControls() {
    testkit::TTempProgramFolder folder;
    folder.CreateForms();
    ResultsForm->show();
    ResultsForm->resize(300, 100);
    QCOMPARE(ResultsForm->size(), QSize(400, 200));
    ResultsForm->resize(600, 500);
    QCOMPARE(ResultsForm->btnClear->x(), 524);
    QCOMPARE(ResultsForm->btnClose->pos(), QPoint(524, 437));
    QCOMPARE(ResultsForm->Memo1->size(), QSize(505, 454));
    ResultsForm->hide();
  }
};

QTEST_MAIN(ResultsFormTest)
#include "ResultsForm_test.moc"
