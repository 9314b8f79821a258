// Scanned answer sheets read back: every distortion a scanner or phone adds,
// every way candidates mark a box, and every way a page can fail, each on a
// small fixed sample from the scan generator.
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <opencv2/imgproc.hpp>

#include "paper/ScanReader.h"
#include "testkit/ScanGenerator.h"

using namespace proctorium;
using testkit::TFillOptions;
using testkit::TMarkStyle;
using testkit::TScanDistortion;

Q_DECLARE_METATYPE(TScanDistortion)
Q_DECLARE_METATYPE(TFillOptions)
Q_DECLARE_METATYPE(TPageFailure)

namespace {

const TPaperJob& Job() {
  static const TPaperJob job = testkit::SampleJob(0x1234ABCD, TPaperSize::A4, 60);
  return job;
}
const TPaperJob& LetterJob() {
  static const TPaperJob job = testkit::SampleJob(0x00C0FFEE, TPaperSize::Letter, 40, 1, 8);
  return job;
}

QString Name(TBoxMark m) { return m == TBoxMark::Marked ? "marked" : m == TBoxMark::Empty ? "empty" : "doubtful"; }

struct TTally {
  int Right = 0, Wrong = 0, Doubtful = 0;
  QString FirstWrong;
};

// Compares a reading with what was put on the page. A doubtful box is never
// wrong, only unread.
TTally Compare(const TPageReading& r, const testkit::TSheetTruth& t) {
  TTally tally;
  auto one = [&](TBoxMark read, TBoxMark truth, const QString& where) {
    if (read == TBoxMark::Doubtful)
      ++tally.Doubtful;
    else if (read == truth)
      ++tally.Right;
    else {
      ++tally.Wrong;
      if (tally.FirstWrong.isEmpty()) tally.FirstWrong = where + " read " + Name(read) + ", is " + Name(truth);
    }
  };
  for (size_t q = 0; q < t.Answers.size() && q < r.Answers.size(); ++q)
    for (size_t b = 0; b < t.Answers[q].size() && b < r.Answers[q].size(); ++b)
      one(r.Answers[q][b], t.Answers[q][b], QString("row %1 box %2").arg(q + 1).arg(QChar('A' + int(b))));
  for (size_t c = 0; c < t.IdMarks.size() && c < r.IdMarks.size(); ++c)
    for (int d = 0; d < 10; ++d)
      one(r.IdMarks[c][d], t.IdMarks[c][d], QString("ID column %1 digit %2").arg(c + 1).arg(d));
  return tally;
}

std::string Save(const QTemporaryDir& dir, const QString& name, const cv::Mat& image) {
  const std::string path = dir.filePath(name).toStdString();
  if (!testkit::WriteScanImage(path, image)) return {};
  return path;
}

}  // namespace

class ScanReaderTest : public QObject {
  Q_OBJECT
 private slots:
  void readsPagesAsScannersAndPhonesSpoilThem_data() {
    QTest::addColumn<TScanDistortion>("distortion");
    QTest::addColumn<bool>("letter");
    auto d = [](auto change) {
      TScanDistortion s;
      change(s);
      return s;
    };
    QTest::newRow("clean 300 dpi") << TScanDistortion{} << false;
    QTest::newRow("turned a quarter") << d([](auto& s) { s.Quarter = 1; }) << false;
    QTest::newRow("upside down") << d([](auto& s) { s.Quarter = 2; }) << false;
    QTest::newRow("turned three quarters") << d([](auto& s) { s.Quarter = 3; }) << false;
    QTest::newRow("skewed +10") << d([](auto& s) { s.SkewDegrees = 10; }) << false;
    QTest::newRow("skewed -10, turned") << d([](auto& s) { s.SkewDegrees = -10, s.Quarter = 1; }) << false;
    QTest::newRow("scaled 90 %") << d([](auto& s) { s.Scale = 0.9; }) << false;
    QTest::newRow("scaled 110 %") << d([](auto& s) { s.Scale = 1.1; }) << false;
    QTest::newRow("phone perspective") << d([](auto& s) { s.Perspective = 0.03, s.SkewDegrees = 3; }) << false;
    QTest::newRow("blurred") << d([](auto& s) { s.Blur = 1.2; }) << false;
    QTest::newRow("noisy") << d([](auto& s) { s.Noise = 10; }) << false;
    QTest::newRow("jpeg artefacts") << d([](auto& s) { s.JpegQuality = 40; }) << false;
    QTest::newRow("black and white") << d([](auto& s) { s.BlackWhite = true, s.Noise = 6; }) << false;
    QTest::newRow("dull grey scan") << d([](auto& s) { s.Paper = 200, s.Ink = 60, s.Noise = 4; }) << false;
    QTest::newRow("150 dpi") << d([](auto& s) { s.Dpi = 150; }) << false;
    QTest::newRow("200 dpi") << d([](auto& s) { s.Dpi = 200; }) << false;
    QTest::newRow("600 dpi") << d([](auto& s) { s.Dpi = 600; }) << false;
    QTest::newRow("US Letter") << TScanDistortion{} << true;
    QTest::newRow("US Letter, skewed, turned") << d([](auto& s) { s.SkewDegrees = -6, s.Quarter = 3; }) << true;
  }
  void readsPagesAsScannersAndPhonesSpoilThem() {
    QFETCH(TScanDistortion, distortion);
    QFETCH(bool, letter);
    const TPaperJob& job = letter ? LetterJob() : Job();
    testkit::TScanGenerator generator(42);
    TFillOptions fill;
    fill.MixStyles = true;
    const auto scan = generator.Make(job, 'A', 1, fill, distortion);
    const TPageReading r = ReadScanImage(
        QImage(scan.Image.data, scan.Image.cols, scan.Image.rows, int(scan.Image.step), QImage::Format_Grayscale8),
        {LetterJob(), Job()}, "scan.png", 0);
    QVERIFY2(r.Status != TPageStatus::Failed, r.Reason.c_str());
    QVERIFY(r.Code == scan.Truth.Code);
    const TTally t = Compare(r, scan.Truth);
    QVERIFY2(t.Wrong == 0, qPrintable(t.FirstWrong));
    QVERIFY2(t.Doubtful * 50 <= t.Right, qPrintable(QString("%1 doubtful of %2").arg(t.Doubtful).arg(t.Right)));
    if (r.Status == TPageStatus::Read) QCOMPARE(r.CandidateId, scan.Truth.CandidateId);
  }

  void readsEveryWayOfMarking_data() {
    QTest::addColumn<TFillOptions>("fill");
    QTest::addColumn<bool>("allMarksRead");
    auto f = [](TMarkStyle style) {
      TFillOptions o;
      o.Style = style;
      return o;
    };
    QTest::newRow("pen fill") << f(TMarkStyle::PenFill) << true;
    QTest::newRow("light pencil fill") << f(TMarkStyle::PencilFill) << true;
    QTest::newRow("tick") << f(TMarkStyle::Tick) << true;
    QTest::newRow("cross") << f(TMarkStyle::Cross) << true;
    QTest::newRow("light pencil tick") << f(TMarkStyle::PencilTick) << true;
    QTest::newRow("fill scribbled over") << f(TMarkStyle::ScribbledFill) << true;
    TFillOptions erased = f(TMarkStyle::PenFill);
    erased.Erasures = 0.5;
    QTest::newRow("erasures beside the answers") << erased << true;
    TFillOptions twice = f(TMarkStyle::Tick);
    twice.DoubleMarks = 0.3;
    twice.Blanks = 0.2;
    QTest::newRow("two marks and blank rows") << twice << true;
    TFillOptions messy = f(TMarkStyle::Cross);
    messy.StrayMarks = true;
    messy.CoffeeRing = true;
    QTest::newRow("stray marks and a coffee ring") << messy << false;
  }
  void readsEveryWayOfMarking() {
    QFETCH(TFillOptions, fill);
    QFETCH(bool, allMarksRead);
    testkit::TScanGenerator generator(7);
    TScanDistortion d;
    d.SkewDegrees = 2;
    d.Noise = 5;
    const auto scan = generator.Make(Job(), 'B', 1, fill, d);
    const TPageReading r = ReadScanImage(
        QImage(scan.Image.data, scan.Image.cols, scan.Image.rows, int(scan.Image.step), QImage::Format_Grayscale8),
        {Job()}, "scan.png", 0);
    QVERIFY2(r.Status != TPageStatus::Failed, r.Reason.c_str());
    const TTally t = Compare(r, scan.Truth);
    QVERIFY2(t.Wrong == 0, qPrintable(t.FirstWrong));
    if (allMarksRead) {
      int missed = 0;
      for (size_t q = 0; q < r.Answers.size(); ++q)
        for (size_t b = 0; b < r.Answers[q].size(); ++b)
          missed += scan.Truth.Answers[q][b] == TBoxMark::Marked && r.Answers[q][b] != TBoxMark::Marked;
      QCOMPARE(missed, 0);
      QCOMPARE(r.CandidateId, scan.Truth.CandidateId);
    }
  }

  void failsWithAReasonNamingThePage_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<TPageFailure>("failure");
    QTest::addColumn<QString>("mentions");
    QTest::newRow("not an answer sheet") << "letter" << TPageFailure::NotAnswerSheet << "not an answer sheet";
    QTest::newRow("a page of another set") << "other set" << TPageFailure::WrongSet << "another set";
    QTest::newRow("a version the job lacks") << "unknown version" << TPageFailure::UnknownVersion << "no version B";
    QTest::newRow("code torn off") << "no code" << TPageFailure::NoQr << "code cannot be read";
    QTest::newRow("a corner cut off") << "no corner" << TPageFailure::CornersNotFound << "corner marks";
    QTest::newRow("not a picture") << "text" << TPageFailure::NotAnImage << "neither a picture";
    QTest::newRow("20000 x 20000 picture") << "huge" << TPageFailure::TooLarge << "too large";
    QTest::newRow("cut-off picture") << "cut png" << TPageFailure::NotAnImage << "damaged";
    QTest::newRow("truncated PDF") << "cut pdf" << TPageFailure::NotAnImage << "damaged";
    QTest::newRow("password-protected PDF") << "password" << TPageFailure::NotAnImage << "password";
  }
  void failsWithAReasonNamingThePage() {
    QFETCH(QString, kind);
    QFETCH(TPageFailure, failure);
    QFETCH(QString, mentions);
    QTemporaryDir dir;
    testkit::TScanGenerator generator(3);
    TScanDistortion plain;
    plain.Dpi = 200;
    TFillOptions fill;
    auto sheet = [&](const TPaperJob& job, char version) { return generator.Make(job, version, 1, fill, plain).Image; };
    std::string file;
    std::vector<TPaperJob> jobs = {Job()};
    if (kind == "letter") {
      cv::Mat letter(2339, 1654, CV_8UC1, cv::Scalar(250));
      for (int y = 200; y < 2100; y += 60)
        cv::putText(letter, "Dear parents, the school trip is on Friday.", {150, y}, cv::FONT_HERSHEY_SIMPLEX, 1.2,
                    cv::Scalar(20), 2);
      file = Save(dir, "letter.png", letter);
    } else if (kind == "other set") {
      file = Save(dir, "other.png", sheet(LetterJob(), 'A'));
    } else if (kind == "unknown version") {
      TPaperJob shorter = Job();
      shorter.Versions.resize(1);
      jobs = {shorter};
      file = Save(dir, "b.png", sheet(Job(), 'B'));
    } else if (kind == "no code" || kind == "no corner") {
      cv::Mat image = sheet(Job(), 'A');
      const double k = 200 / 72.0;
      const TSheetLayout& l = Job().Versions[0].Sheets[0];
      const TPaperRect r = kind == "no code" ? l.Qr : l.Corners[2];
      cv::rectangle(image, cv::Point(int((r.X - 3) * k), int((r.Y - 3) * k)),
                    cv::Point(int((r.X + r.W + 3) * k), int((r.Y + r.H + 3) * k)), cv::Scalar(255), cv::FILLED);
      file = Save(dir, "spoilt.png", image);
    } else if (kind == "text") {
      file = dir.filePath("notes.jpg").toStdString();
      QFile f(QString::fromStdString(file));
      QVERIFY(f.open(QIODevice::WriteOnly) && f.write("these are not the scans\r\n") > 0);
    } else if (kind == "huge") {
      // Only the header of a 20,000 x 20,000 picture: were it decoded, the
      // missing data would fail it as damaged, not as too large.
      cv::Mat small(8, 8, CV_8UC1, cv::Scalar(255));
      file = Save(dir, "huge.png", small);
      QFile f(QString::fromStdString(file));
      QVERIFY(f.open(QIODevice::ReadWrite));
      QByteArray bytes = f.readAll();
      const char size[8] = {0, 0, 0x4E, 0x20, 0, 0, 0x4E, 0x20};
      bytes.replace(16, 8, QByteArray(size, 8));
      f.seek(0);
      f.write(bytes);
    } else if (kind == "cut png") {
      file = Save(dir, "cut.png", sheet(Job(), 'A'));
      QFile::resize(QString::fromStdString(file), QFileInfo(QString::fromStdString(file)).size() / 3);
    } else if (kind == "cut pdf") {
      file = dir.filePath("cut.pdf").toStdString();
      QVERIFY(testkit::WriteScanPdf(file, {sheet(Job(), 'A'), sheet(Job(), 'A')}, TPaperSize::A4));
      QFile::resize(QString::fromStdString(file), QFileInfo(QString::fromStdString(file)).size() * 2 / 3);
    } else if (kind == "password") {
      const QString plainPdf = dir.filePath("open.pdf");
      file = dir.filePath("locked.pdf").toStdString();
      QVERIFY(testkit::WriteScanPdf(plainPdf.toStdString(), {sheet(Job(), 'A')}, TPaperSize::A4));
      const QString qpdf = QStandardPaths::findExecutable("qpdf");
      if (qpdf.isEmpty()) QSKIP("qpdf is not installed: no way here to make a password-protected PDF");
      QProcess p;
      p.start(qpdf, {"--encrypt", "user", "owner", "256", "--", plainPdf, QString::fromStdString(file)});
      QVERIFY(p.waitForFinished(60000) && p.exitCode() == 0);
    }
    const auto readings = ReadScanFile(file, jobs);
    QVERIFY(!readings.empty());
    const TPageReading* failed = nullptr;
    for (const auto& r : readings)
      if (r.Status == TPageStatus::Failed && !failed) failed = &r;
    QVERIFY2(failed, kind.toUtf8());
    QCOMPARE(failed->Failure, failure);
    const std::string name = QFileInfo(QString::fromStdString(file)).fileName().toStdString();
    const std::string expected = name + ", page " + std::to_string(failed->Page + 1) + ": ";
    QVERIFY2(failed->Reason.rfind(expected, 0) == 0, failed->Reason.c_str());
    QCOMPARE(failed->Source, file);
    QVERIFY2(QString::fromStdString(failed->Reason).contains(mentions), failed->Reason.c_str());
  }

  void readsEveryPageOfMultiPageFiles_data() {
    QTest::addColumn<QString>("format");
    QTest::newRow("scanner PDF") << "pdf";
    QTest::newRow("multi-page TIFF") << "tif";
  }
  void readsEveryPageOfMultiPageFiles() {
    QFETCH(QString, format);
    QTemporaryDir dir;
    testkit::TScanGenerator generator(11);
    TScanDistortion d;
    d.Dpi = 200;
    d.SkewDegrees = -3;
    TFillOptions fill;
    fill.MixStyles = true;
    const auto first = generator.Make(Job(), 'A', 1, fill, d);
    const cv::Mat blank(2339, 1654, CV_8UC1, cv::Scalar(255));
    d.Quarter = 2;
    const auto third = generator.Make(Job(), 'B', 1, fill, d);
    const std::string file = dir.filePath("class." + format).toStdString();
    if (format == "pdf") {
      cv::Mat a, b;  // the PDF page is the paper: fit each scan to it
      cv::resize(first.Image, a, blank.size());
      cv::resize(third.Image, b, blank.size());
      QVERIFY(testkit::WriteScanPdf(file, {a, blank, b}, TPaperSize::A4));
    } else {
      QVERIFY(testkit::WriteScanTiff(file, {first.Image, blank, third.Image}));
    }
    QCOMPARE(ScanPageCount(file), 3);
    const auto readings = ReadScanFile(file, {Job()});
    QCOMPARE(readings.size(), size_t(3));
    QVERIFY2(readings[0].Status != TPageStatus::Failed, readings[0].Reason.c_str());
    QCOMPARE(readings[1].Failure, TPageFailure::NotAnswerSheet);
    QVERIFY2(readings[2].Status != TPageStatus::Failed, readings[2].Reason.c_str());
    QCOMPARE(readings[2].Page, 2);
    QCOMPARE(Compare(readings[0], first.Truth).Wrong, 0);
    QCOMPARE(Compare(readings[2], third.Truth).Wrong, 0);
    QCOMPARE(readings[2].Code->Version, 'B');

    // The review draws the boxes where the reader looked: the page it is
    // shown has the corner marks where the reading maps them.
    const QImage shown = LoadScanPage(file, 2);
    QVERIFY(!shown.isNull());
    const auto& m = readings[2].PageToImage;
    for (const auto& c : Job().Versions[1].Sheets[0].Corners) {
      const double x = c.X + c.W / 2, y = c.Y + c.H / 2, w = m[6] * x + m[7] * y + m[8];
      const QPoint at(int((m[0] * x + m[1] * y + m[2]) / w), int((m[3] * x + m[4] * y + m[5]) / w));
      QVERIFY(shown.rect().contains(at));
      QVERIFY2(qGray(shown.pixel(at)) < 100, "a corner mark is not where the reading puts it");
    }
  }
};

QTEST_MAIN(ScanReaderTest)
#include "ScanReader_test.moc"
