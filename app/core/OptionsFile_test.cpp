#include <QTemporaryDir>
#include <QtTest>

#include "app/core/Cp1252.h"
#include "app/core/OptionsFile.h"
#include "app/core/UserCode.h"

using namespace proctorium;

class OptionsFileTest : public QObject {
  Q_OBJECT
  QTemporaryDir dir;
  std::string Path(const char* name) { return dir.path().toStdString() + "/" + name; }

  static TOptionsRecord Sample(const std::string& password) {
    TOptionsRecord o;
    o.ShowHints = false;
    o.DeletePermitted = true;
    o.EnableAnswers = false;
    o.AllowEdits = true;
    o.EnableClearResults = true;
    o.FontSize = 12;
    o.ScreenColour = 0x80000005u;
    o.AdminPassword = password;
    o.EnableRunningScore = false;
    o.TimeMode = TTimeMode::Countdown;
    o.CountdownMinutes = 45;
    return o;
  }

 private slots:
  void layoutPlacesEveryField() {
    const std::string bytes = EncodeOptions(Sample("XYZ"));
    QCOMPARE(bytes.size(), size_t(48 + 3));
    QCOMPARE(int(bytes[8]), 0);   // ShowHints
    QCOMPARE(int(bytes[9]), 1);   // DeletePermitted
    QCOMPARE(int(bytes[10]), 0);  // EnableAnswers
    QCOMPARE(int(bytes[11]), 1);  // AllowEdits
    QCOMPARE(int(bytes[12]), 1);  // EnableClearResults
    QCOMPARE(int(bytes[21]), 12);
    QCOMPARE(bytes.substr(22, 4), std::string("\x05\x00\x00\x80", 4));
    QCOMPARE(bytes.substr(26, 4), std::string("\x03\x00\x00\x00", 4));
    QCOMPARE(bytes.substr(30, 3), std::string("XYZ"));
    QCOMPARE(int(bytes[34 + 3]), 0);  // EnableRunningScore
    QCOMPARE(int(bytes[35 + 3]), 0);  // TimeMode: time remaining
    QCOMPARE(bytes.substr(36 + 3, 4), std::string("\x2D\x00\x00\x00", 4));
  }

  void lengthIs48PlusPassword_data() {
    QTest::addColumn<int>("length");
    QTest::newRow("empty") << 0;
    QTest::newRow("one") << 1;
    QTest::newRow("twenty") << 20;
  }
  void lengthIs48PlusPassword() {
    QFETCH(int, length);
    TOptionsRecord o = Sample(std::string(length, 'P'));
    WriteOptionsFile(Path("len.opt"), o);
    QCOMPARE(QFileInfo(QString::fromStdString(Path("len.opt"))).size(), qint64(48 + length));
    QVERIFY(ReadOptionsFile(Path("len.opt")) == o);
  }

  void roundTripsBothWays() {
    for (const TOptionsRecord& o : {TOptionsRecord(), Sample(Scramble("SECRET"))}) {
      WriteOptionsFile(Path("rt.opt"), o);
      QVERIFY(ReadOptionsFile(Path("rt.opt")) == o);
    }
  }

  void fillersAreSkippedAndTailIgnored() {
    std::string bytes = EncodeOptions(Sample("AB"));
    for (size_t i : {0u, 3u, 13u, 20u, 32u, 33u}) bytes[i] = '\x5A';
    bytes.resize(bytes.size() - 8);  // a reader stops after the minutes
    QVERIFY(DecodeOptions(bytes, "x") == Sample("AB"));
  }

  void damagedFilesAreRefused_data() {
    QTest::addColumn<QByteArray>("bytes");
    const std::string good = EncodeOptions(Sample("ABCD"));
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("cut in the header") << QByteArray::fromStdString(good.substr(0, 25));
    QTest::newRow("cut in the password") << QByteArray::fromStdString(good.substr(0, 32));
    QTest::newRow("cut before the minutes end") << QByteArray::fromStdString(good.substr(0, 42));
    std::string negative = good;
    negative.replace(26, 4, std::string("\xFF\xFF\xFF\xFF", 4));
    QTest::newRow("negative length") << QByteArray::fromStdString(negative);
    std::string huge = good;
    huge.replace(26, 4, std::string("\x00\x00\x00\x7F", 4));
    QTest::newRow("length past the end") << QByteArray::fromStdString(huge);
  }
  void damagedFilesAreRefused() {
    QFETCH(QByteArray, bytes);
    try {
      DecodeOptions(bytes.toStdString(), "the.opt");
      QFAIL("accepted");
    } catch (const EFileError& e) {
      QVERIFY(QString::fromLatin1(e.what()).contains("the.opt"));
    }
  }

  void missingFileIsReported() {
    try {
      ReadOptionsFile(Path("none.opt"));
      QFAIL("no error");
    } catch (const EFileError& e) {
      QCOMPARE(QString::fromStdString(e.what()), QString::fromStdString("Cannot open file " + Path("none.opt")));
    }
  }

  void scramble_data() {
    QTest::addColumn<QByteArray>("plain");
    QTest::addColumn<QByteArray>("scrambled");
    QTest::newRow("ABC") << QByteArray("ABC") << QByteArray("\x42\x44\x46");
    QTest::newRow("empty") << QByteArray() << QByteArray();
    QTest::newRow("wraps") << QByteArray("\xFF\xFE") << QByteArray("\x00\x00", 2);
  }
  void scramble() {
    QFETCH(QByteArray, plain);
    QFETCH(QByteArray, scrambled);
    QCOMPARE(QByteArray::fromStdString(Scramble(plain.toStdString())), scrambled);
  }

  void scrambleWrapsPositionsPast255() {
    const std::string s = Scramble(std::string(300, '\0'));
    QCOMPARE(static_cast<unsigned char>(s[254]), 255);
    QCOMPARE(static_cast<unsigned char>(s[255]), 0);   // position 256
    QCOMPARE(static_cast<unsigned char>(s[299]), 44);  // position 300
  }

  void upperCaseOnlyTouchesAsciiLetters() {
    QCOMPARE(UpperAscii("abc xyz \xE9\xFF 09"), std::string("ABC XYZ \xE9\xFF 09"));
    QCOMPARE(Scramble(UpperAscii("secret")), Scramble(UpperAscii("SeCrEt")));
  }

  void userCodeIsStableAndNeverZero() {
    QCOMPARE(MakeUserCode("Alice", "host"), MakeUserCode("alice", "host"));
    QVERIFY(MakeUserCode("alice", "host") != MakeUserCode("bob", "host"));
    QVERIFY(MakeUserCode("alice", "host") != MakeUserCode("alice", "other"));
    QCOMPARE(UserCode(), UserCode());
    QVERIFY(UserCode() != 0);
  }

  void codePageRoundTripsEveryByte() {
    std::string all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    QCOMPARE(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
    QCOMPARE(Cp1252ToUtf8("\x80"), std::string("\xE2\x82\xAC"));  // euro sign
    std::u32string missing;
    QCOMPARE(Utf8ToCp1252("a\xE2\x86\x92"
                          "b",
                          &missing),
             std::string("a?b"));  // arrow
    QCOMPARE(missing, std::u32string(1, U'\u2192'));
  }
};

QTEST_APPLESS_MAIN(OptionsFileTest)
#include "OptionsFile_test.moc"
