// The converter end to end: through the formats, pictures written beside
// the set, refusals and wrong use.
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
  // What each format carries is the core's; here a set goes from a file to
  // a set, out to XML, back unchanged, and on to an answer key.
  void throughTheFormatsAndOnToPaper() {
    QTemporaryDir dir;
    const QString first = dir.filePath("first.qst"), mid = dir.filePath("mid.xml"), back = dir.filePath("back.qst");
    for (const QStringList& args : {QStringList{Example("questions.csv"), first},
                                    {first, mid},
                                    {mid, back},
                                    {back, dir.filePath("key.pdf"), "--key"}})
      QVERIFY2(Convert(args).Code == 0, qPrintable(args.join(' ')));
    TQuestionSet a, b;
    a.LoadFromFile(first.toStdString());
    b.LoadFromFile(back.toStdString());
    QCOMPARE(b.LastIndex, 3);
    for (int i = 1; i <= 3; ++i) QVERIFY(a.Questions[i] == b.Questions[i]);
    const QString key = PdfText(dir.filePath("key.pdf"));
    QVERIFY2(key.contains("Answer key: back") && key.contains("2. A, C, D Flag, 1794"), qPrintable(key));
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
    const QString aiken = Example("aiken.txt");
    for (const QStringList& args : {QStringList{aiken},
                                    {aiken, dir.filePath("x.doc")},
                                    {aiken, dir.filePath("x.gift"), "--key"},
                                    {dir.filePath("x.pdf"), dir.filePath("x.qst")}})
      QVERIFY2(Convert(args).Code == 2, qPrintable(args.join(' ')));
  }
};

QTEST_GUILESS_MAIN(TConverterTest)
#include "Converter_test.moc"
