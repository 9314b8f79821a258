// The converter end to end: from a file to a set and on to paper, and
// refusals.
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "questions/QuietMessages.h"
#include "questions/core/QuestionSet.h"

class TConverterTest : public QObject {
  Q_OBJECT

  struct TRun {
    int Code;
    QString Err;
  };
  TRun Convert(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral(PROCTORIUM_CONVERT), args);
    p.waitForFinished(-1);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardError())};
  }
  static QString PdfText(const QString& pdf) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    p.waitForFinished(-1);
    return QString::fromUtf8(p.readAllStandardOutput()).simplified();
  }

 private slots:
  // What each format carries is the core's; here a file becomes a set and
  // the set a question paper and an answer key.
  void fromAFileToASetAndOnToPaper() {
    QTemporaryDir dir;
    const QString set = dir.filePath("back.qst");
    QCOMPARE(Convert({QStringLiteral(PROCTORIUM_EXAMPLES "/questions.csv"), set}).Code, 0);
    QCOMPARE(Convert({set, dir.filePath("key.pdf"), "--key"}).Code, 0);
    const QString key = PdfText(dir.filePath("key.pdf"));
    QVERIFY2(key.contains("Answer key: back") && key.contains("2. A, C, D Flag, 1794"), qPrintable(key));
    // The paper has the questions and none of the answers marked.
    QCOMPARE(Convert({set, dir.filePath("paper.pdf")}).Code, 0);
    const QString paper = PdfText(dir.filePath("paper.pdf"));
    QVERIFY2(paper.contains("2. Which are colours of the French flag?") && !paper.contains("A, C, D"),
             qPrintable(paper));
  }

  // A new set names where its questions came from, and stderr holds the
  // listing alone, one note a line.
  void aNewSetDescribesItselfAndTheListingStaysClean() {
    QTemporaryDir dir;
    QFile f(dir.filePath("bank.gift"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("$CATEGORY: $course$/top/Cell biology\n\nQ1? {=a ~b}\n\nShort? {=answer}\n\nPartial {~%50%a ~%50%b}\n");
    f.close();
    const TRun r = Convert({f.fileName(), dir.filePath("bank.qst")});
    QCOMPARE(r.Code, 0);
    QCOMPARE(r.Err, QStringLiteral("skipped: line 5: short-answer question, not multiple choice\n"
                                   "changed: line 7: partial credit for A, B; here all of them must be ticked\n"));
    proctorium::TQuestionSet set;
    set.LoadFromFile(dir.filePath("bank.qst").toStdString());
    QCOMPARE(set.LastIndex, 2);
    QCOMPARE(set.Questions[0].Text, std::string("Cell biology"));
  }

  // While quiet, the toolkit's warnings are dropped and counted; critical
  // messages and everything after pass on.
  void toolkitWarningsAreKeptOut() {
    static QStringList seen;
    seen.clear();
    const QtMessageHandler before =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& m) { seen << m; });
    {
      proctorium::TQuietMessages quiet;
      qWarning("libpng warning: iCCP: known incorrect sRGB profile");
      {
        proctorium::TQuietMessages inner;
        qInfo("QStandardPaths: XDG_RUNTIME_DIR not set");
      }
      qWarning("still quiet");
      qCritical("a critical one");
      QCOMPARE(quiet.Dropped(), 2);
    }
    qWarning("after");
    qInstallMessageHandler(before);
    QCOMPARE(seen, (QStringList{"a critical one", "after"}));
  }

  // However the input is refused, it names the file and leaves no output.
  void refusedInputWritesNothing() {
    QTemporaryDir dir;
    const std::pair<const char*, QByteArray> inputs[] = {{"bad.txt", "Q?\nA. x\n"}, {"bad.qst", "\xFF\x01"}};
    for (const auto& [name, content] : inputs) {
      QFile f(dir.filePath(name));
      QVERIFY(f.open(QIODevice::WriteOnly) && f.write(content) == content.size());
      f.close();
      for (const char* out : {"out.qst", "out.gift", "out.pdf"}) {
        const TRun r = Convert({f.fileName(), dir.filePath(out)});
        QVERIFY2(r.Code == 1 && r.Err.contains(name), qPrintable(r.Err));
      }
    }
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), (QStringList{"bad.qst", "bad.txt"}));
  }
};

QTEST_GUILESS_MAIN(TConverterTest)
#include "Converter_test.moc"
