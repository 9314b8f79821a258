// The converter end to end: from a file to a set and on to paper, and
// refusals.
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "questions/Converter.h"
#include "questions/QuietMessages.h"
#include "questions/core/QuestionSet.h"
#ifndef _WIN32
#include <sys/stat.h>
#endif

class TConverterTest : public QObject {
  Q_OBJECT

  struct TRun {
    int Code;
    QString Err;
  };
  TRun Convert(const QStringList& args, const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment()) {
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(PROCTORIUM_CONVERT), args);
    p.waitForFinished(-1);
    // A crash counts as a failure whatever code it leaves.
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardError())};
  }
  static void Write(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
  }
  // A question with a picture carried inside, under the given name.
  static QByteArray XmlQuestion(const QString& picture) {
    return "<question type=\"multichoice\"><questiontext format=\"html\"><text><![CDATA[<p>Which?</p>"
           "<img src=\"@@PLUGINFILE@@/" +
           picture.toUtf8() + "\">]]></text><file name=\"" + picture.toUtf8() +
           "\" encoding=\"base64\">Qk0eAAAAAAAAABoAAAAMAAAAAQABAAEAGAAAAP8A</file></questiontext>"
           "<answer fraction=\"100\"><text>Yes</text></answer><answer fraction=\"0\"><text>No</text></answer>"
           "</question>";
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

  // A file in other scripts becomes a Unicode set, and the set a paper, a
  // key and an export that keep every character.
  void unicodeQuestionsGoFromFileToSetToPaperAndBack() {
    QTemporaryDir dir;
    const QString gift = dir.filePath("physik.gift");
    Write(gift, QStringLiteral("Is x \u2265 0 for H\u2082O? {=\u0434\u0430 ~\u043D\u0435\u0442 "
                               "####\u03A3\u03BF\u03C6\u03AF\u03B1 \u05E9\u05DC\u05D5\u05DD \u03C0 \u221A2}\n")
                    .toUtf8());
    const QString set = dir.filePath("physik.qst");
    QCOMPARE(Convert({gift, set}).Code, 0);
    QFile file(set);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.read(9), QByteArray("\xFEUTF-8\0\0\0", 9));
    file.close();
    QCOMPARE(Convert({set, dir.filePath("key.pdf"), "--key"}).Code, 0);
    const QString key = PdfText(dir.filePath("key.pdf"));
    // Right-to-left words may come back from the PDF in either order, so
    // the Hebrew is not looked for there.
    QVERIFY2(key.contains(QStringLiteral("1. A \u03A3\u03BF\u03C6\u03AF\u03B1")) &&
                 key.contains(QStringLiteral("\u03C0 \u221A2")),
             qPrintable(key));
    QCOMPARE(Convert({set, dir.filePath("paper.pdf")}).Code, 0);
    const QString paper = PdfText(dir.filePath("paper.pdf"));
    QVERIFY2(paper.contains(QStringLiteral("Is x \u2265 0 for H\u2082O?")) &&
                 paper.contains(QStringLiteral("\u043D\u0435\u0442")),
             qPrintable(paper));
    QCOMPARE(Convert({set, dir.filePath("back.gift")}).Code, 0);
    QFile back(dir.filePath("back.gift"));
    QVERIFY(back.open(QIODevice::ReadOnly));
    QVERIFY(QString::fromUtf8(back.readAll()).contains(QStringLiteral("Is x \u2265 0 for H\u2082O?")));
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

  // Only a regular file under the cap is read: a pipe, a device or a
  // folder would hang the converter or fill the memory; a file too large
  // to be a set is refused before it is parsed. The message names the file
  // and the reason, and nothing is written.
  void inputThatIsNoFileOrTooLargeIsRefused_data() {
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("reason");
    QTest::newRow("folder") << "folder.csv"
                            << "out.qst"
                            << "not a regular file";
    QTest::newRow("missing") << "missing.txt"
                             << "out.gift"
                             << "no such file";
    QTest::newRow("over the import cap") << "big.xml"
                                         << "out.qst"
                                         << "larger than 32 MiB";
    QTest::newRow("questions too large for a set") << "large.csv"
                                                   << "out.qst"
                                                   << "more than the 16 MiB a question set holds";
#ifndef _WIN32
    QTest::newRow("pipe") << "pipe.gift"
                          << "out.qst"
                          << "not a regular file";
    QTest::newRow("device behind a link") << "zero.txt"
                                          << "out.csv"
                                          << "not a regular file";
#endif
  }
  void inputThatIsNoFileOrTooLargeIsRefused() {
    QFETCH(QString, input);
    QFETCH(QString, output);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString in = dir.filePath(input);
    if (input == "folder.csv") QVERIFY(QDir().mkdir(in));
    if (input == "big.xml") {
      QFile f(in);
      QVERIFY(f.open(QIODevice::WriteOnly) && f.resize((32 << 20) + 1));
    }
    if (input == "large.csv") {
      // 250 questions of 80 KB each: within the import cap, too much for a set.
      QByteArray csv = "question,A,B,correct\n";
      const QByteArray text(80 * 1024, 'x');
      for (int i = 0; i < 250; ++i) csv += text + ",a,b,A\n";
      Write(in, csv);
    }
#ifndef _WIN32
    if (input == "pipe.gift") QCOMPARE(mkfifo(in.toLocal8Bit().constData(), 0600), 0);
    if (input == "zero.txt") QVERIFY(QFile::link("/dev/zero", in));
#endif
    const TRun r = Convert({in, dir.filePath(output)});
    QCOMPARE(r.Code, 1);
    QVERIFY2(r.Err.contains(input) && r.Err.contains(reason), qPrintable(r.Err));
    QVERIFY(!QFile::exists(dir.filePath(output)));
  }

  // A picture named by the input comes only from the input's folder or
  // below it; any other is left out, with a note for its question.
  void picturesFromOutsideTheInputFolderAreNeverEmbedded() {
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath("in/sub"));
    const QByteArray secret = QByteArray("BM") + QByteArray(60, 's');
    const QByteArray inside = QByteArray("BM") + QByteArray(60, 'i');
    Write(dir.filePath("secret.bmp"), secret);
    Write(dir.filePath("in/sub/inside.bmp"), inside);
    const QStringList outside = {"../secret.bmp", "sub/../../secret.bmp", dir.filePath("secret.bmp"), "C:\\secret.bmp",
                                 "\\\\server\\share\\secret.bmp"};
    QByteArray csv = "question,A,B,correct,exhibit\n";
    for (const QString& name : outside) csv += "Outside,a,b,A,\"" + name.toUtf8() + "\"\n";
    csv += "Inside,a,b,A,sub/inside.bmp\n";
    Write(dir.filePath("in/pictures.csv"), csv);
    const TRun r = Convert({dir.filePath("in/pictures.csv"), dir.filePath("out.xml")});
    QCOMPARE(r.Code, 0);
    for (int line = 2; line < 2 + int(outside.size()); ++line)
      QVERIFY2(r.Err.contains(QStringLiteral("changed: line %1: exhibit ").arg(line)) &&
                   r.Err.contains("is outside the file's folder"),
               qPrintable(r.Err));
    QFile out(dir.filePath("out.xml"));
    QVERIFY(out.open(QIODevice::ReadOnly));
    const QByteArray xml = out.readAll();
    QVERIFY(!xml.contains(secret.toBase64().left(40)));
    QVERIFY(xml.contains(inside.toBase64().left(40)));
  }

  // A conversion that fails leaves neither its set nor any picture it
  // would have written. A temporary file a killed conversion left in the
  // output folder goes once it is old; a recent one may be another seat's
  // write in progress and stays.
  void failedConversionLeavesNothingBehind_data() {
    QTest::addColumn<QString>("second");
    QTest::addColumn<int>("code");
    QTest::addColumn<QStringList>("files");
    QTest::newRow("picture name too long for the folder")
        << QString(300, 'n') + ".png" << 1 << QStringList{"in.xml", "~Proctorium-0000000000000002.tmp"};
    QTest::newRow("both fit") << "second.png" << 0
                              << QStringList{"first.bmp", "in.xml", "out.qst", "second.bmp",
                                             "~Proctorium-0000000000000002.tmp"};
  }
  void failedConversionLeavesNothingBehind() {
    QFETCH(QString, second);
    QFETCH(int, code);
    QFETCH(QStringList, files);
    QTemporaryDir dir;
    Write(dir.filePath("in.xml"), "<quiz>" + XmlQuestion("first.png") + XmlQuestion(second) + "</quiz>");
    Write(dir.filePath("~Proctorium-0000000000000001.tmp"), "left by a kill");
    Write(dir.filePath("~Proctorium-0000000000000002.tmp"), "being written");
    QFile old(dir.filePath("~Proctorium-0000000000000001.tmp"));
    QVERIFY(old.open(QIODevice::ReadWrite) &&
            old.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime));
    old.close();
    const TRun r = Convert({dir.filePath("in.xml"), dir.filePath("out.qst")});
    QCOMPARE(r.Code, code);
    QDir folder(dir.path());
    QCOMPARE(folder.entryList(QDir::Files | QDir::Hidden, QDir::Name), files);
  }

  // Text in, text out starts no GUI application: with a platform that does
  // not exist, which a GUI application could not start on, it still works.
  void textFormatsConvertWithoutTheGuiApplication() {
    QTemporaryDir dir;
    const QString set = dir.filePath("set.qst");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "no-such-platform");
    QCOMPARE(Convert({QStringLiteral(PROCTORIUM_EXAMPLES "/questions.csv"), set}, env).Code, 0);
    for (const char* out : {"out.txt", "out.gift", "out.csv", "out.xml"}) {
      const TRun r = Convert({set, dir.filePath(out)}, env);
      QVERIFY2(r.Code == 0 && QFile::exists(dir.filePath(out)), qPrintable(out + (": " + r.Err)));
    }
    QCOMPARE(Convert({dir.filePath("out.gift"), dir.filePath("again.qst")}, env).Code, 0);
  }

  // Painting and decoding pictures need the GUI application; nothing else
  // does. A new mode says which it needs in the same place.
  void onlyPaintingAndPicturesNeedTheGuiApplication_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("gui");
    QTest::newRow("GIFT to set") << QStringList{"a.gift", "b.qst"} << false;
    QTest::newRow("set to XML (pictures copied as they are)") << QStringList{"a.qst", "b.xml"} << false;
    QTest::newRow("set to answer key") << QStringList{"a.qst", "b.pdf", "--key"} << true;
    QTest::newRow("set to question paper") << QStringList{"a.qst", "B.PDF"} << true;
    QTest::newRow("XML with pictures to set") << QStringList{"a.xml", "b.qst"} << true;
    QTest::newRow("wrong use") << QStringList{} << false;
  }
  void onlyPaintingAndPicturesNeedTheGuiApplication() {
    QFETCH(QStringList, args);
    QFETCH(bool, gui);
    const proctorium::TConverterMode mode = proctorium::ConverterModeOf(args);
    QCOMPARE(mode.NeedsGui, gui);
    QVERIFY(mode.Run != nullptr);
  }

  // A file far larger than a set is read only as far as a set holds, and
  // the rest is one line of the listing, not a line per question.
  void aHugeFileIsReadOnlyAsFarAsASetHolds() {
    QTemporaryDir dir;
    QByteArray gift;
    for (int i = 1; i <= 10000; ++i) gift += "Q" + QByteArray::number(i) + "? {=a ~b}\n\n";
    Write(dir.filePath("huge.gift"), gift);
    const TRun r = Convert({dir.filePath("huge.gift"), dir.filePath("huge.qst")});
    QCOMPARE(r.Code, 0);
    QCOMPARE(r.Err, QStringLiteral("skipped: line 501 and all after it: a set holds at most 250 questions\n"));
    proctorium::TQuestionSet set;
    set.LoadFromFile(dir.filePath("huge.qst").toStdString());
    QCOMPARE(set.LastIndex, 250);
    QCOMPARE(set.Questions[250].Text, std::string("Q250?"));
  }
};

QTEST_GUILESS_MAIN(TConverterTest)
#include "Converter_test.moc"
