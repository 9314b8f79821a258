#include <cerrno>
#include <QTemporaryDir>
#include <QtTest>
#include <cstring>

#include "app/core/FileIO.h"
#include "questions/core/QuestionSet.h"
#include "testkit/TempProgramFolder.h"

using namespace proctorium;

namespace {

std::string Hex(const std::string& bytes) {
  static const char* digits = "0123456789ABCDEF";
  std::string out;
  for (unsigned char b : bytes) {
    if (!out.empty()) out += ' ';
    out += digits[b >> 4];
    out += digits[b & 15];
  }
  return out;
}

std::string Bytes(std::initializer_list<int> values) {
  std::string s;
  for (int v : values) s.push_back(static_cast<char>(v));
  return s;
}

std::string Int32Le(std::int32_t v) {
  auto u = static_cast<std::uint32_t>(v);
  return Bytes({int(u & 255), int((u >> 8) & 255), int((u >> 16) & 255), int((u >> 24) & 255)});
}

// An old-format record image: texts stored plainly.
std::string OldRecord(const TQuestion& q) {
  auto text = [](const std::string& s) { return Int32Le(static_cast<std::int32_t>(s.size())) + s; };
  std::string r = text(q.Text);
  r.push_back(static_cast<char>(q.AnswerType));
  r.push_back(static_cast<char>(q.RandomizeAnswers));
  for (const auto& a : q.Answers) r += text(a);
  r.push_back(static_cast<char>(q.CorrectMask));
  r += text(q.Remarks) + text(q.ExhibitFile);
  return r;
}

TQuestion FullQuestion(int seed) {
  TQuestion q;
  q.Text = "Question " + std::to_string(seed) + "\r\nsecond line \xE9\xEF\xFF";
  q.AnswerType = static_cast<TAnswerType>(seed % 2);
  q.RandomizeAnswers = static_cast<std::uint8_t>((seed + 1) % 2);
  for (int a = 0; a < AnswerCount; ++a) q.Answers[a] = "answer " + std::string(1, char('A' + a)) + std::to_string(seed);
  q.CorrectMask = static_cast<AnswerMask>(seed * 37);
  q.Remarks = "see chapter " + std::to_string(seed);
  q.ExhibitFile = "pic" + std::to_string(seed) + ".bmp";
  return q;
}

}  // namespace

class QuestionSetTest : public QObject {
  Q_OBJECT
  QTemporaryDir dir;
  std::string Path(const char* name) { return dir.path().toStdString() + "/" + name; }

 private slots:
  void workedExampleIsByteExact() {
    TQuestionSet set;
    TQuestion d;
    d.Text = "Hi";
    set.Add(d);
    set.ProtectedSet = false;
    set.TimeStamp = 0.0;
    const std::string bytes = set.Serialize();
    QCOMPARE(bytes.size(), size_t(75));
    std::string expected = Bytes({0xFF}) + std::string(8, '\0') + std::string(8, '\0') + Int32Le(0) + Bytes({0}) +
                           Int32Le(0) + Bytes({2, 0, 0, 0, 0x59, 0x7A, 0, 0});
    for (int i = 0; i < 8; ++i) expected += Int32Le(0);
    expected += Bytes({0}) + Int32Le(0) + Int32Le(0);
    QCOMPARE(QString::fromStdString(Hex(bytes)), QString::fromStdString(Hex(expected)));
  }

  void textBytesAreShiftedBy17_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("stored");
    QTest::newRow("abc") << QByteArray("abc") << QByteArray("\x72\x73\x74");
    QTest::newRow("CR LF") << QByteArray("\r\n") << QByteArray("\x1E\x1B");
    QTest::newRow("EF wraps to 00") << QByteArray("\xEF") << QByteArray(1, '\0');
    QTest::newRow("FF wraps to 10") << QByteArray("\xFF") << QByteArray("\x10");
  }
  void textBytesAreShiftedBy17() {
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, stored);
    TQuestionSet set;
    TQuestion d;
    d.Text = text.toStdString();
    set.Add(d);
    const std::string bytes = set.Serialize();
    QCOMPARE(bytes.substr(26, 4), Int32Le(static_cast<std::int32_t>(text.size())));
    QCOMPARE(QByteArray::fromStdString(bytes.substr(30, text.size())), stored);
    TQuestionSet back;
    QVERIFY(back.Parse(bytes, "x"));
    QCOMPARE(QByteArray::fromStdString(back.Questions[0].Text), text);
  }

  void roundTripKeepsEveryField() {
    TQuestionSet set;
    for (int i = 0; i <= 12; ++i) set.Add(FullQuestion(i));
    set.TimeStamp = 46361.75;
    set.OwnerCode = -123456789;
    set.ProtectedSet = true;
    set.SaveToFile(Path("round.qst"));
    TQuestionSet back;
    QVERIFY(back.LoadFromFile(Path("round.qst")));
    QVERIFY(back.NewFormat);
    QCOMPARE(back.LastIndex, 12);
    QCOMPARE(back.Current, 0);
    QCOMPARE(back.TimeStamp, 46361.75);
    QCOMPARE(back.OwnerCode, -123456789);
    QCOMPARE(back.ProtectedSet, true);
    for (int i = 0; i <= 12; ++i) QVERIFY2(back.Questions[i] == set.Questions[i], qPrintable(QString::number(i)));
  }

  void fillerIgnoredAndZeroTimeStampReplaced() {
    TQuestionSet set = testkit::MakeSet(3);
    set.TimeStamp = 0.0;
    std::string a = set.Serialize();
    std::string b = a;
    for (int i = 1; i <= 8; ++i) b[i] = static_cast<char>(0xA0 + i);
    TQuestionSet x, y;
    x.Parse(a, "a");
    y.Parse(b, "b");
    QCOMPARE(x.LastIndex, y.LastIndex);
    for (int i = 0; i <= x.LastIndex; ++i) QVERIFY(x.Questions[i] == y.Questions[i]);
    QVERIFY(x.TimeStamp > 0.0 && x.TimeStamp < 1.0);  // the time of day of the load
  }

  void oldFormatLoadsAndSavesAsNew() {
    TQuestion d, q;
    d.Text = "Old description";
    q.Text = "Old question";
    q.Answers[0] = "yes";
    q.Answers[1] = "no";
    q.CorrectMask = 2;
    const std::string old = Int32Le(1) + OldRecord(d) + OldRecord(q);
    WriteFileAtomic(Path("old.qst"), old);
    TQuestionSet set;
    set.OwnerCode = 99;
    set.TimeStamp = 5.0;
    set.ProtectedSet = false;
    QVERIFY(!set.LoadFromFile(Path("old.qst")));
    QVERIFY(!set.NewFormat);
    QCOMPARE(set.OwnerCode, 0);
    QCOMPARE(set.TimeStamp, 0.0);
    QVERIFY(set.ProtectedSet);
    QCOMPARE(set.LastIndex, 1);
    QVERIFY(set.Questions[1] == q);
    set.SaveToFile(Path("old.qst"));
    std::string saved;
    QVERIFY(ReadWholeFile(Path("old.qst"), saved));
    QCOMPARE(static_cast<unsigned char>(saved[0]), 0xFF);
    QCOMPARE(saved.size(), old.size() + 22);  // 26-byte header replaces the 4-byte count
    QVERIFY(!set.NewFormat);                  // saving does not change what the load found
    TQuestionSet again;
    QVERIFY(again.LoadFromFile(Path("old.qst")));
    QVERIFY(again.Questions[1] == q);
  }

  void damagedFilesAreRefusedAndLeaveTheSetAlone_data() {
    QTest::addColumn<QByteArray>("bytes");
    const std::string good = testkit::MakeSet(2).Serialize();
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("marker only") << QByteArray("\xFF", 1);
    QTest::newRow("header cut") << QByteArray::fromStdString(good.substr(0, 20));
    QTest::newRow("last record cut") << QByteArray::fromStdString(good.substr(0, good.size() - 1));
    std::string negative = good;
    negative.replace(26, 4, Int32Le(-5));
    QTest::newRow("negative text count") << QByteArray::fromStdString(negative);
    std::string huge = good;
    huge.replace(26, 4, Int32Le(0x7FFFFFF0));
    QTest::newRow("huge text count") << QByteArray::fromStdString(huge);
    std::string tooMany = good;
    tooMany.replace(22, 4, Int32Le(251));
    QTest::newRow("LastIndex 251") << QByteArray::fromStdString(tooMany);
    std::string belowZero = good;
    belowZero.replace(22, 4, Int32Le(-1));
    QTest::newRow("LastIndex -1") << QByteArray::fromStdString(belowZero);
    std::string missing = good;
    missing.replace(22, 4, Int32Le(5));
    QTest::newRow("records missing") << QByteArray::fromStdString(missing);
    QTest::newRow("old format count out of range") << QByteArray::fromStdString(Int32Le(1000));
  }
  void damagedFilesAreRefusedAndLeaveTheSetAlone() {
    QFETCH(QByteArray, bytes);
    WriteFileAtomic(Path("bad.qst"), bytes.toStdString());
    TQuestionSet set = testkit::MakeSet(4, "kept");
    set.Current = 3;
    const TQuestionSet before = set;
    try {
      set.LoadFromFile(Path("bad.qst"));
      QFAIL("a damaged file was accepted");
    } catch (const EFileError& e) {
      QVERIFY2(QString::fromStdString(e.what()).contains(QString::fromStdString(Path("bad.qst"))), e.what());
    }
    QCOMPARE(set.Current, 0);
    QCOMPARE(set.LastIndex, before.LastIndex);
    QCOMPARE(set.NewFormat, before.NewFormat);
    QCOMPARE(set.TimeStamp, before.TimeStamp);
    for (int i = 0; i <= 4; ++i) QVERIFY(set.Questions[i] == before.Questions[i]);
  }

  void missingFileNamesItself() {
    TQuestionSet set;
    try {
      set.LoadFromFile(Path("nope.qst"));
      QFAIL("no error");
    } catch (const EFileError& e) {
      QCOMPARE(QString::fromStdString(e.what()), QString::fromStdString("Cannot open file " + Path("nope.qst")));
    }
  }

  void failedSaveKeepsThePreviousFile() {
    TQuestionSet set = testkit::MakeSet(2);
    set.SaveToFile(Path("keep.qst"));
    std::string before;
    ReadWholeFile(Path("keep.qst"), before);
    TQuestionSet other = testkit::MakeSet(5);
    const std::string missingFolder = Path("no-such-folder/keep.qst");
    try {
      other.SaveToFile(missingFolder);
      QFAIL("no error");
    } catch (const EFileError& e) {
      QCOMPARE(QString::fromStdString(e.what()), QString::fromStdString("Cannot create file " + missingFolder + ": " + SystemReason(ENOENT)));
    }
    std::string after;
    ReadWholeFile(Path("keep.qst"), after);
    QCOMPARE(after, before);
    QCOMPARE(QDir(dir.path()).entryList({"*.tmp"}, QDir::Files | QDir::Hidden).size(), 0);
  }

  void emptySetWritesNothing() {
    WriteFileAtomic(Path("untouched.qst"), "original");
    TQuestionSet set;
    set.SaveToFile(Path("untouched.qst"));
    set.SaveToFile(Path("never.qst"));
    std::string bytes;
    QVERIFY(ReadWholeFile(Path("untouched.qst"), bytes));
    QCOMPARE(bytes, std::string("original"));
    QVERIFY(!FileExists(Path("never.qst")));
  }

  void setCurrentRange_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("expected");
    QTest::newRow("-1 ignored") << -1 << 2;
    QTest::newRow("0 accepted") << 0 << 0;
    QTest::newRow("LastIndex accepted") << 5 << 5;
    QTest::newRow("LastIndex+1 ignored") << 6 << 2;
  }
  void setCurrentRange() {
    QFETCH(int, index);
    QFETCH(int, expected);
    TQuestionSet set = testkit::MakeSet(5);
    set.SetCurrent(2);
    set.SetCurrent(index);
    QCOMPARE(set.Current, expected);
  }

  void addAtTheLimit() {
    TQuestionSet set = testkit::MakeSet(249);
    set.SetCurrent(10);
    TQuestion q;
    q.Text = "the 250th";
    set.Add(q);
    QCOMPARE(set.LastIndex, 250);
    QCOMPARE(set.Current, 250);
    set.SetCurrent(7);
    q.Text = "one too many";
    set.Add(q);
    QCOMPARE(set.LastIndex, 250);
    QCOMPARE(set.Current, 7);
    QCOMPARE(set.Questions[250].Text, std::string("the 250th"));
  }

  void deleteCurrent_data() {
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("current");
    QTest::addColumn<int>("lastAfter");
    QTest::addColumn<int>("currentAfter");
    QTest::addColumn<QString>("textAtCurrent");
    QTest::newRow("3 of 5") << 5 << 3 << 4 << 3 << "Question 4";
    QTest::newRow("last of 5") << 5 << 5 << 4 << 4 << "Question 4";
    QTest::newRow("first of 5") << 5 << 1 << 4 << 1 << "Question 2";
    QTest::newRow("the only one") << 1 << 1 << 0 << 0 << "A test set";
    QTest::newRow("description only") << 0 << 0 << 0 << 0 << "A test set";
  }
  void deleteCurrent() {
    QFETCH(int, count);
    QFETCH(int, current);
    QFETCH(int, lastAfter);
    QFETCH(int, currentAfter);
    QFETCH(QString, textAtCurrent);
    TQuestionSet set = testkit::MakeSet(count);
    set.SetCurrent(current);
    set.DeleteCurrent();
    QCOMPARE(set.LastIndex, lastAfter);
    QCOMPARE(set.Current, currentAfter);
    QCOMPARE(QString::fromStdString(set.GetCurrent().Text), textAtCurrent);
  }

  void answersInUse_data() {
    QTest::addColumn<QString>("filled");
    QTest::addColumn<int>("inUse");
    QTest::newRow("none") << "--------" << 0;
    QTest::newRow("A-D, gap, F") << "XXXX-X--" << 4;
    QTest::newRow("all eight") << "XXXXXXXX" << 8;
    QTest::newRow("gap at A") << "-XXXXXXX" << 0;
  }
  void answersInUse() {
    QFETCH(QString, filled);
    QFETCH(int, inUse);
    TQuestion q;
    for (int i = 0; i < 8; ++i)
      if (filled[i] == 'X') q.Answers[i] = "a";
    QCOMPARE(AnswersInUse(q), inUse);
  }

  void search_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("fromNext");
    QTest::addColumn<int>("startAt");
    QTest::addColumn<bool>("found");
    QTest::addColumn<int>("currentAfter");
    QTest::newRow("empty text") << "" << false << 2 << false << 2;
    QTest::newRow("only in description") << "overview" << false << 2 << false << 2;
    QTest::newRow("first hit") << "router" << false << 3 << true << 1;
    QTest::newRow("next goes past the current") << "router" << true << 1 << true << 3;
    QTest::newRow("no wrap-around") << "router" << true << 3 << false << 3;
    QTest::newRow("next from the description") << "router" << true << 0 << true << 1;
    QTest::newRow("lower finds capitals") << "switch" << false << 0 << true << 2;
    QTest::newRow("capitals find lower") << "HUB" << false << 0 << true << 4;
    QTest::newRow("accent same case") << "caf\xC3\xA9" << false << 0 << true << 4;
    QTest::newRow("accent other case") << "CAF\xC3\x89" << false << 0 << false << 0;
    QTest::newRow("exhibit name not searched") << "diagram" << false << 0 << false << 0;
    QTest::newRow("remarks searched") << "chapter 9" << false << 0 << true << 2;
    QTest::newRow("across fields") << "TEXTANSWER" << false << 0 << true << 4;
  }
  void search() {
    QFETCH(QString, text);
    QFETCH(bool, fromNext);
    QFETCH(int, startAt);
    QFETCH(bool, found);
    QFETCH(int, currentAfter);
    TQuestionSet set = testkit::MakeSet(4, "Overview");
    set.Questions[1].Text = "What does a Router do?";
    set.Questions[2].Text = "A SWITCH forwards frames";
    set.Questions[2].Remarks = "Chapter 9";
    set.Questions[3].Answers[1] = "router";
    set.Questions[3].ExhibitFile = "diagram.bmp";
    set.Questions[4].Text = "hub or caf\xE9 text";
    set.Questions[4].Answers[0] = "answer";
    set.SetCurrent(startAt);
    // The test texts are UTF-8; the set holds Windows-1252.
    std::string needle = text.toLatin1().toStdString();
    QCOMPARE(set.Search(needle, fromNext), found);
    QCOMPARE(set.Current, currentAfter);
  }

  void searchInASetWithoutQuestions() {
    TQuestionSet set = testkit::MakeSet(0, "router");
    QVERIFY(!set.Search("router", false));
    QCOMPARE(set.Current, 0);
  }
};

QTEST_APPLESS_MAIN(QuestionSetTest)
#include "QuestionSet_test.moc"
