// The converter end to end: the example files through every output format,
// refusals, and the PDF read back as text.
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "app/core/FileIO.h"
#include "questions/core/QuestionSet.h"

using namespace proctorium;

class TConverterTest : public QObject {
  Q_OBJECT

  struct TRun {
    int Code;
    QString Err;
  };
  TRun Convert(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral(PROCTORIUM_CONVERT), args);
    p.waitForFinished(60000);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardError())};
  }
  static QString Example(const char* name) { return QStringLiteral(PROCTORIUM_EXAMPLES "/") + name; }
  static QString PdfText(const QString& pdf) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput()).simplified();
  }

 private slots:
  void everyExampleThroughEveryFormatBackToASet_data() {
    QTest::addColumn<QString>("input");
    QTest::addColumn<int>("questions");
    QTest::newRow("aiken") << Example("aiken.txt") << 2;
    QTest::newRow("gift") << Example("questions.gift") << 5;
    QTest::newRow("xml") << Example("questions.xml") << 3;
    QTest::newRow("csv") << Example("questions.csv") << 3;
  }
  void everyExampleThroughEveryFormatBackToASet() {
    QFETCH(QString, input);
    QFETCH(int, questions);
    QTemporaryDir dir;
    const QString first = dir.filePath("first.qst");
    QCOMPARE(Convert({input, first}).Code, 0);
    TQuestionSet base;
    base.LoadFromFile(first.toStdString());
    QCOMPARE(base.LastIndex, questions);
    // The XML and CSV formats carry every field; back from them the set is
    // the same question for question.
    for (const char* ext : {"xml", "csv"}) {
      const QString mid = dir.filePath(QStringLiteral("mid.") + ext), back = dir.filePath("back.qst");
      QCOMPARE(Convert({first, mid}).Code, 0);
      QCOMPARE(Convert({mid, back}).Code, 0);
      TQuestionSet again;
      again.LoadFromFile(back.toStdString());
      QCOMPARE(again.LastIndex, base.LastIndex);
      for (int i = 1; i <= base.LastIndex; ++i) QVERIFY2(again.Questions[i] == base.Questions[i], ext);
    }
  }

  void xmlPictureBecomesABitmapBesideTheSet() {
    QTemporaryDir dir;
    QCOMPARE(Convert({Example("questions.xml"), dir.filePath("geo.qst")}).Code, 0);
    TQuestionSet set;
    set.LoadFromFile(dir.filePath("geo.qst").toStdString());
    QCOMPARE(QString::fromStdString(set.Questions[1].ExhibitFile), QStringLiteral("red dot.bmp"));
    QImage image(dir.filePath("red dot.bmp"), "BMP");
    QCOMPARE(image.size(), QSize(2, 2));
    QCOMPARE(image.pixelColor(0, 0), QColor(Qt::red));
  }

  void refusedInputWritesNothing_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("message");
    QTest::newRow("aiken") << "bad.txt" << QByteArray("Q?\nA. x\n")
                           << ": line 2: the last question has no ANSWER: line";
    QTest::newRow("xml") << "bad.xml" << QByteArray("<quiz>\n<question>")
                         << ": line 2: element <question> is not closed";
    QTest::newRow("qst") << "bad.qst" << QByteArray("\xFF\x01") << "bad.qst";
  }
  void refusedInputWritesNothing() {
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(QString, message);
    QTemporaryDir dir;
    QFile f(dir.filePath(name));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(content);
    f.close();
    for (const char* out : {"out.qst", "out.gift", "out.pdf"}) {
      const TRun r = Convert({f.fileName(), dir.filePath(out)});
      QCOMPARE(r.Code, 1);
      QVERIFY2(r.Err.contains(message), qPrintable(r.Err));
    }
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{name});
  }

  void wrongUseIsExitCodeTwo() {
    QTemporaryDir dir;
    QCOMPARE(Convert({Example("aiken.txt")}).Code, 2);
    QCOMPARE(Convert({Example("aiken.txt"), dir.filePath("x.doc")}).Code, 2);
    QCOMPARE(Convert({Example("aiken.txt"), dir.filePath("x.gift"), "--key"}).Code, 2);
    QCOMPARE(Convert({dir.filePath("x.pdf"), dir.filePath("x.qst")}).Code, 2);
  }

  void pdfPaperAndKeyReadBack() {
    QTemporaryDir dir;
    const QString paper = dir.filePath("paper.pdf"), key = dir.filePath("key.pdf");
    QCOMPARE(Convert({Example("questions.csv"), paper}).Code, 0);
    QCOMPARE(Convert({Example("questions.csv"), key, "--key"}).Code, 0);
    const QString p = PdfText(paper), k = PdfText(key);
    for (const char* s : {"1. What is 2 + 2?", "(Tick one answer.)", "2. Which are colours of the French flag?",
                          "(Tick every correct answer.)", "D Red", "3. A question on two lines"})
      QVERIFY2(p.contains(QString::fromUtf8(s)), qPrintable(s + (" not in: " + p)));
    QVERIFY(!p.contains("Arithmetic basics"));  // references belong to the key
    for (const char* s : {"Answer key: questions", "1. B Arithmetic basics", "2. A, C, D Flag, 1794", "3. A"})
      QVERIFY2(k.contains(QString::fromUtf8(s)), qPrintable(s + (" not in: " + k)));
  }
};

QTEST_GUILESS_MAIN(TConverterTest)
#include "Converter_test.moc"
