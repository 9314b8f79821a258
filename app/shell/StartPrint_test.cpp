// The Print menu of the start window writes the highlighted set's paper and
// key as PDF, read back here as text.
#include <QProcess>
#include <QtTest>

#include "app/FileDialogs.h"
#include "app/core/FileIO.h"
#include "app/shell/StartForm.h"
#include "testkit/TempProgramFolder.h"

using namespace proctorium;
using namespace proctorium::testkit;

class StartPrintTest : public QObject {
  Q_OBJECT
 private slots:
  void pdfOfTheHighlightedSet_data() {
    QTest::addColumn<bool>("key");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("paper") << false << QStringList{"Biology", "1. Question 1", "A Answer 1.A", "D Answer 2.D"};
    QTest::newRow("key") << true << QStringList{"Answer key: Biology", "1. A", "2. A"};
  }
  void pdfOfTheHighlightedSet() {
    QFETCH(bool, key);
    QFETCH(QStringList, expected);
    TTempProgramFolder folder;
    folder.WriteSet("Biology.qst", MakeSet(2));
    folder.ShowStartWindow();
    const QString pdf = QString::fromStdString(folder.Path("out.pdf"));
    SetFileDialogHook([&](bool save, const QString&, const QString&) { return save ? pdf : QString(); });
    (key ? StartForm->PdfKey1 : StartForm->PdfPaper1)->trigger();
    SetFileDialogHook(nullptr);
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    QVERIFY(p.waitForFinished(30000));
    const QString text = QString::fromUtf8(p.readAllStandardOutput()).simplified();
    for (const QString& s : expected) QVERIFY2(text.contains(s), qPrintable(s + " not in: " + text));
    StartForm->hide();
  }
};

QTEST_MAIN(StartPrintTest)
#include "StartPrint_test.moc"
