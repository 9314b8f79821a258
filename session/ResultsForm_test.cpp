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
  // What another seat wrote after start-up is shown when the window opens;
  // saves append after a torn last line and cannot forge lines of their own.
  void showsTheLogAsOnDiskAndSavesAppend_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("no file yet") << QByteArray() << QStringList();
    QTest::newRow("earlier, torn") << QByteArray("Caf\xe9\r\n\r\n   tw")
                                   << QStringList({QString::fromUtf8("Caf\xc3\xa9"), "", "   tw"});
  }
  void showsTheLogAsOnDiskAndSavesAppend() {
    QFETCH(QByteArray, file);
    QFETCH(QStringList, shown);
    testkit::TTempProgramFolder folder;
    folder.CreateForms();
    if (!file.isNull()) folder.WriteFile("Tests/results.txt", file.toStdString());
    SetModalHook([](QDialog* d) { return d->result(); });
    ExecModal(ResultsForm);
    QCOMPARE(ResultsForm->Lines(), shown);
    ResultsForm->close();
    ResultsForm->AddLines({"a", ""});
    ResultsForm->AddLines({QString::fromUtf8("na\xc3\xafve"), "Evil\r\n   9 of 9"});
    QCOMPARE(QByteArray::fromStdString(Read(folder)),
             (file.isNull() ? file : file + "\r\n") + "a\r\n\r\nna\xefve\r\nEvil??   9 of 9\r\n");
    SetModalHook({});
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

  // Clear is offered once there are lines; No keeps them, Yes empties the
  // memo and the file. The long entry lines get the whole width, at any size.
  void clearAndLayout() {
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
    ResultsForm->show();
    for (const QSize size : {QSize(440, 375), QSize(900, 300)}) {
      ResultsForm->resize(size);
      QCOMPARE(ResultsForm->Memo1->geometry().right(), size.width() - 9);
      QVERIFY(ResultsForm->Memo1->geometry().bottom() < ResultsForm->btnClose->y());
    }
    ResultsForm->hide();
    SetModalHook({});
    for (const int answer : {int(mrNo), int(mrYes)}) {
      TMessageScript messages;
      messages.Expect("Are you sure you want to delete this summary ?", TMsgDlgType::Confirmation, mbYes | mbNo,
                      answer);
      ResultsForm->btnClearClick();
      VERIFY_MESSAGES(messages);
      QCOMPARE(ResultsForm->Lines().join('|') + " " + QString::fromStdString(Read(folder)),
               answer == mrNo ? "x x\r\n" : " ");
    }
  }
};

QTEST_MAIN(ResultsFormTest)
#include "ResultsForm_test.moc"
