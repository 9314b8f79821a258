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
  void windowShowsTheLogAsOnDiskAndSavesAppend_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QByteArray>("saved");
    const QByteArray added("a\r\n\r\nna\xefve\r\n");
    QTest::newRow("no file yet") << QByteArray() << QStringList() << added;
    QTest::newRow("earlier results") << QByteArray("one\r\n   two\r\n\r\n") << QStringList({"one", "   two", ""})
                                     << "one\r\n   two\r\n\r\n" + added;
    QTest::newRow("code page") << QByteArray("Caf\xe9\r\n") << QStringList({QString::fromUtf8("Caf\xc3\xa9")})
                               << "Caf\xe9\r\n" + added;
    QTest::newRow("torn last line") << QByteArray("one\r\n   tw") << QStringList({"one", "   tw"})
                                    << "one\r\n   tw\r\n" + added;
    QTest::newRow("forged line break") << QByteArray() << QStringList() << added;
  }
  void windowShowsTheLogAsOnDiskAndSavesAppend() {
    QFETCH(QByteArray, file);
    QFETCH(QStringList, shown);
    QFETCH(QByteArray, saved);
    testkit::TTempProgramFolder folder;
    folder.CreateForms();
    // Written after start-up, as another seat would: the window still shows it.
    if (!file.isNull()) folder.WriteFile("Tests/results.txt", file.toStdString());
    SetModalHook([](QDialog* d) { return d->result(); });
    ExecModal(ResultsForm);
    QCOMPARE(ResultsForm->Lines(), shown);
    ResultsForm->close();
    if (QTest::currentDataTag() == QByteArray("forged line break"))
      ResultsForm->AddLines({"a", "", QString::fromUtf8("na\xc3\xafve")});
    else {
      ResultsForm->AddLines({"a", ""});
      ResultsForm->AddLines({QString::fromUtf8("na\xc3\xafve")});
    }
    QCOMPARE(QByteArray::fromStdString(Read(folder)), saved);
    SetModalHook({});
  }

  void controlCharactersAreReplacedInSavedLines() {
    testkit::TTempProgramFolder folder;
    folder.CreateForms();
    ResultsForm->AddLines({"05/12/2026  Evil\r\n   9 of 9 Correct [100%]  .qst     Time taken: 00:00:01", "   s", ""});
    QCOMPARE(Read(folder), std::string("05/12/2026  Evil??   9 of 9 Correct [100%]  .qst     Time taken: 00:00:01\r\n"
                                       "   s\r\n\r\n"));
  }

  void unsavedLinesAreReportedKeptAndSavedFirstNextTime() {
    testkit::TTempProgramFolder folder;
    QDir(QString::fromStdString(folder.Path("Tests"))).mkdir("results.txt");  // a folder in the file's place
    folder.CreateForms();
    {
      TMessageScript messages;
      messages.Answer(mrOk);
      ResultsForm->AddLines({"kept", ""});
      QCOMPARE(messages.Shown().size(), size_t(1));
      QVERIFY(messages.Shown()[0].Text.startsWith(
          "The results could not be saved to " + QString::fromStdString(ResultsForm->ResultsFileName) +
          "\nThey are kept in the results window for the rest of this session."));
      QCOMPARE(messages.Shown()[0].Type, TMsgDlgType::Warning);
    }
    TMessageScript messages;
    messages.Answer(mrOk);
    ResultsForm->LoadLog();  // the folder in the log's place is reported, the kept lines shown
    QCOMPARE(ResultsForm->Lines(), QStringList({"kept", ""}));
    QDir(QString::fromStdString(folder.Path("Tests"))).rmdir("results.txt");
    ResultsForm->AddLines({"next", ""});
    QCOMPARE(Read(folder), std::string("kept\r\n\r\nnext\r\n\r\n"));
  }

  void clear_data() {
    QTest::addColumn<int>("answer");
    QTest::newRow("Yes empties the memo and the file") << int(mrYes);
    QTest::newRow("No changes nothing") << int(mrNo);
  }
  void clear() {
    QFETCH(int, answer);
    testkit::TTempProgramFolder folder;
    folder.WriteFile("Tests/results.txt", "x\r\n");
    folder.CreateForms();
    ResultsForm->LoadLog();
    TMessageScript messages;
    messages.Expect("Are you sure you want to delete this summary ?", TMsgDlgType::Confirmation, mbYes | mbNo, answer);
    ResultsForm->btnClearClick();
    VERIFY_MESSAGES(messages);
    if (answer == mrYes) {
      QVERIFY(ResultsForm->Lines().isEmpty());
      QCOMPARE(Read(folder), std::string());
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
    ResultsForm->AddLines({"x"});  // reaches the memo through the log
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
