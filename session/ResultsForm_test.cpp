#include <QDir>
#include <QtTest>

#include "app/ModalSeam.h"
#include "app/core/FileIO.h"
#include "app/shell/StartForm.h"
#include "session/ResultsForm.h"
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
  void linesAreReadOnceAndAddedInTheWindowsCodePage_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("loaded");
    QTest::addColumn<QByteArray>("saved");
    const QByteArray added("a\r\n\r\nna\xefve\r\n");
    QTest::newRow("no file yet") << QByteArray() << QStringList() << added;
    QTest::newRow("earlier results") << QByteArray("one\r\n   two\r\n\r\n") << QStringList({"one", "   two", ""})
                                     << "one\r\n   two\r\n\r\n" + added;
    QTest::newRow("code page") << QByteArray("Caf\xe9\r\n") << QStringList({QString::fromUtf8("Caf\xc3\xa9")})
                               << "Caf\xe9\r\n" + added;
  }
  void linesAreReadOnceAndAddedInTheWindowsCodePage() {
    QFETCH(QByteArray, file);
    QFETCH(QStringList, loaded);
    QFETCH(QByteArray, saved);
    testkit::TTempProgramFolder folder;
    if (!file.isNull()) folder.WriteFile("Tests/results.txt", file.toStdString());
    folder.CreateForms();
    QCOMPARE(ResultsForm->Lines(), loaded);
    // An outside edit is not read again, and is overwritten by the next change.
    if (!file.isNull()) folder.WriteFile("Tests/results.txt", "edited\r\n");
    ResultsForm->AddLines({"a", ""});
    ResultsForm->AddLines({QString::fromUtf8("na\xc3\xafve")});
    QCOMPARE(QByteArray::fromStdString(Read(folder)), saved);
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

  void clearIsOfferedOnlyWithLines() {
    TOptionsRecord o;
    o.EnableClearResults = true;
    testkit::TTempProgramFolder folder(o);
    folder.CreateForms();
    StartForm->LoadOptions();
    SetModalHook([](QDialog* d) { return d->result(); });
    ExecModal(ResultsForm);
    QVERIFY(!ResultsForm->btnClear->isEnabled() && !ResultsForm->btnClear->isHidden());
    ResultsForm->AddLines({"x"});
    ExecModal(ResultsForm);
    QVERIFY(ResultsForm->btnClear->isEnabled());
    // The long entry lines get the window's whole width, at any size.
    ResultsForm->show();
    for (const QSize size : {QSize(440, 375), QSize(900, 300)}) {
      ResultsForm->resize(size);
      QCOMPARE(ResultsForm->Memo1->geometry().right(), size.width() - 9);
      QVERIFY(ResultsForm->Memo1->geometry().bottom() < ResultsForm->btnClose->y());
    }
    ResultsForm->hide();
    SetModalHook({});
  }
};

QTEST_MAIN(ResultsFormTest)
#include "ResultsForm_test.moc"
