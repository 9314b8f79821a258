// Printouts written to a file: exported as PDF, or printed to a file from
// the print dialog. Either way the file appears only when it is complete,
// and what a killed printout left in that folder is tidied.
#include <QDir>
#include <QFile>
#include <QPrintDialog>
#include <QPrinter>
#include <QTemporaryDir>
#include <QtTest>

#include "base/FileDialogs.h"
#include "base/core/FileIO.h"
#include "questions/PrintSet.h"
#include "testkit/MessageScript.h"
#include "testkit/ModalScript.h"
#include "testkit/core/SampleSet.h"

using namespace proctorium;

class PrintSetTest : public QObject {
  Q_OBJECT
 private slots:
  void printoutToAFileAppearsWhole_data() {
    QTest::addColumn<bool>("exportPdf");
    QTest::addColumn<bool>("answerKey");
    QTest::newRow("export question paper as PDF") << true << false;
    QTest::newRow("export answer key as PDF") << true << true;
    QTest::newRow("print to file from the print dialog") << false << false;
  }
  void printoutToAFileAppearsWhole() {
    QFETCH(bool, exportPdf);
    QFETCH(bool, answerKey);
    QTemporaryDir dir;
    const QString set = dir.filePath("Quiz.qst");
    testkit::MakeSet(3).SaveToFile(set.toStdString());
    const QString pdf = dir.filePath("Quiz.pdf");
    const QString stale = dir.filePath("~Proctorium-00000000000000aa.tmp");
    const QString fresh = dir.filePath("~Proctorium-00000000000000bb.tmp");
    for (const QString& name : {stale, fresh}) {
      QFile f(name);
      QVERIFY(f.open(QIODevice::WriteOnly) && f.write("cut short") == 9);
    }
    QFile old(stale);
    QVERIFY(old.open(QIODevice::ReadWrite) &&
            old.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime));
    old.close();

    testkit::TMessageScript messages;
    testkit::TModalScript modals;
    SetFileDialogHook([pdf](bool, const QString&, const QString&) { return pdf; });
    if (!exportPdf)
      modals.Expect(QStringLiteral("PrintDialog"), [pdf](QDialog* dlg) {
        static_cast<QPrintDialog*>(dlg)->printer()->setOutputFileName(pdf);
        return int(QDialog::Accepted);
      });
    PrintSetFile(nullptr, set.toStdString(), answerKey, exportPdf);
    SetFileDialogHook(nullptr);
    QVERIFY2(messages.Verify().isEmpty(), qPrintable(messages.Verify()));
    QVERIFY2(modals.Verify().isEmpty(), qPrintable(modals.Verify()));

    QFile out(pdf);
    QVERIFY(out.open(QIODevice::ReadOnly));
    const QByteArray bytes = out.readAll();
    QVERIFY(bytes.startsWith("%PDF") && bytes.trimmed().endsWith("%%EOF"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name),
             (QStringList{"Quiz.pdf", "Quiz.qst", "~Proctorium-00000000000000bb.tmp"}));
  }
};

QTEST_MAIN(PrintSetTest)
#include "PrintSet_test.moc"
