// Reads synthetic scans of filled answer sheets and prints how many boxes
// were read right, wrong or doubtful, the pages that failed, the pages read
// wrongly without a flag, the time per 300 dpi page (decoding included) and
// a class of 30 pages in one scanner PDF, end to end.
//
//   bench_scan [pages=500] [seed=1]
//
// Runs on one core: OpenCV's own threads are switched off.
#include <QDir>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include "paper/ScanReader.h"
#include "testkit/ScanGenerator.h"

using namespace proctorium;
using Clock = std::chrono::steady_clock;

namespace {

struct TCount {
  long Right = 0, Wrong = 0, Doubtful = 0;
  long DoubtfulMarked = 0;  // of the doubtful, those that were marked
};

TCount Compare(const TPageReading& r, const testkit::TSheetTruth& t) {
  TCount c;
  auto one = [&](TBoxMark read, TBoxMark truth) {
    if (read == TBoxMark::Doubtful)
      ++c.Doubtful, c.DoubtfulMarked += truth == TBoxMark::Marked;
    else if (read == truth)
      ++c.Right;
    else
      ++c.Wrong;
  };
  for (size_t q = 0; q < t.Answers.size(); ++q)
    for (size_t b = 0; b < t.Answers[q].size(); ++b)
      one(q < r.Answers.size() && b < r.Answers[q].size() ? r.Answers[q][b] : TBoxMark::Doubtful, t.Answers[q][b]);
  for (size_t col = 0; col < t.IdMarks.size(); ++col)
    for (int d = 0; d < 10; ++d)
      one(col < r.IdMarks.size() ? r.IdMarks[col][d] : TBoxMark::Doubtful, t.IdMarks[col][d]);
  return c;
}

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// The processor time the program has used (OpenCV's threads are off): what
// a page costs on one core, whatever else the machine is doing.
double CpuMs() { return 1000.0 * static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  cv::setNumThreads(0);
  const int pages = argc > 1 ? std::atoi(argv[1]) : 500;
  const std::uint64_t seed = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 1;
  QTemporaryDir dir;

  const std::vector<TPaperJob> jobs = {testkit::SampleJob(0xA4A4A4A4, TPaperSize::A4, 60, 4, 6, seed),
                                       testkit::SampleJob(0x1E771E77, TPaperSize::Letter, 45, 2, 8, seed + 1)};
  testkit::TScanGenerator generator(seed);
  TCount total, pencil;
  long failed = 0, unflagged = 0, flagged = 0, pages300 = 0;
  double ms300 = 0, msAll = 0, cpu300 = 0, cpuAll = 0;
  for (int i = 0; i < pages; ++i) {
    const TPaperJob& job = jobs[i % 2];
    const TPaperVersion& version = job.Versions[generator.Pick(static_cast<int>(job.Versions.size()))];
    const int sheet = 1 + generator.Pick(static_cast<int>(version.Sheets.size()));
    const testkit::TFillOptions fill = generator.RandomFill();
    const testkit::TScanDistortion distortion = generator.RandomDistortion();
    const auto scan = generator.Make(job, version.Letter, sheet, fill, distortion);
    const bool jpeg = distortion.JpegQuality > 0;
    const std::string file = dir.filePath(QString("page%1.%2").arg(i).arg(jpeg ? "jpg" : "png")).toStdString();
    testkit::WriteScanImage(file, scan.Image, jpeg ? distortion.JpegQuality : 85);

    const auto start = Clock::now();
    const double cpuStart = CpuMs();
    const auto readings = ReadScanFile(file, jobs);
    const double ms = Ms(Clock::now() - start), cpu = CpuMs() - cpuStart;
    msAll += ms, cpuAll += cpu;
    if (distortion.Dpi == 300) ms300 += ms, cpu300 += cpu, ++pages300;
    QFile::remove(QString::fromStdString(file));

    const TPageReading& r = readings.front();
    if (r.Status == TPageStatus::Failed) {
      ++failed;
      std::printf("  failed: page %d (%d dpi, turn %d, skew %.1f, scale %.2f, persp %.3f, b/w %d): %s\n", i,
                  distortion.Dpi, distortion.Quarter, distortion.SkewDegrees, distortion.Scale, distortion.Perspective,
                  distortion.BlackWhite, r.Reason.c_str());
      continue;
    }
    const TCount c = Compare(r, scan.Truth);
    total.Right += c.Right, total.Wrong += c.Wrong, total.Doubtful += c.Doubtful;
    total.DoubtfulMarked += c.DoubtfulMarked;
    if (c.Doubtful > 0 && std::getenv("SCANBENCH_VERBOSE"))
      std::printf(
          "  %ld doubtful (%ld marked) on page %d (%d dpi, style %d%s, blur %.1f, noise %.0f, b/w %d, jpeg %d, "
          "paper %d ink %d, erasures %d, ring %d)\n",
          c.Doubtful, c.DoubtfulMarked, i, distortion.Dpi, int(fill.Style), fill.MixStyles ? " mixed" : "",
          distortion.Blur, distortion.Noise, distortion.BlackWhite, distortion.JpegQuality, distortion.Paper,
          distortion.Ink, fill.Erasures > 0, fill.CoffeeRing);
    const bool pencilPage = !fill.MixStyles && (fill.Style == testkit::TMarkStyle::PencilFill ||
                                                fill.Style == testkit::TMarkStyle::PencilTick);
    if (pencilPage) pencil.Right += c.Right, pencil.Wrong += c.Wrong, pencil.Doubtful += c.Doubtful;
    const bool wrongPage = c.Wrong > 0 || !r.Code || !(*r.Code == scan.Truth.Code) ||
                           (r.Status == TPageStatus::Read && r.CandidateId != scan.Truth.CandidateId);
    if (r.Status == TPageStatus::Doubtful) ++flagged;
    if (wrongPage && r.Status == TPageStatus::Read) {
      ++unflagged;
      std::printf("  read wrongly without a flag: page %d\n", i);
    }
    if (c.Wrong > 0)
      std::printf("  %ld wrong boxes on page %d (%d dpi, style %d%s, blur %.1f, noise %.0f, b/w %d, jpeg %d)\n",
                  c.Wrong, i, distortion.Dpi, int(fill.Style), fill.MixStyles ? " mixed" : "", distortion.Blur,
                  distortion.Noise, distortion.BlackWhite, distortion.JpegQuality);
  }
  const long boxes = total.Right + total.Wrong + total.Doubtful;
  std::printf("Scan reading, %d synthetic pages (seed %llu)\n", pages, static_cast<unsigned long long>(seed));
  std::printf("  boxes right          %ld of %ld (%.3f %%)\n", total.Right, boxes,
              boxes ? 100.0 * total.Right / boxes : 0);
  std::printf("  boxes wrong          %ld\n", total.Wrong);
  std::printf("  boxes doubtful       %ld (%ld of them marked)\n", total.Doubtful, total.DoubtfulMarked);
  const long pencilBoxes = pencil.Right + pencil.Wrong + pencil.Doubtful;
  std::printf("  light pencil pages   %.3f %% of %ld boxes right, %ld wrong\n",
              pencilBoxes ? 100.0 * pencil.Right / pencilBoxes : 0, pencilBoxes, pencil.Wrong);
  std::printf("  pages failed         %ld\n", failed);
  std::printf("  pages flagged        %ld (doubtful boxes or ID)\n", flagged);
  std::printf("  pages wrong, no flag %ld\n", unflagged);
  std::printf("  ms per 300 dpi page  %.1f on one core, %.1f wall clock (%ld pages, decoding included)\n",
              pages300 ? cpu300 / pages300 : 0, pages300 ? ms300 / pages300 : 0, pages300);
  std::printf("  ms per page, all     %.1f on one core, %.1f wall clock\n", pages ? cpuAll / pages : 0,
              pages ? msAll / pages : 0);

  // A class: 30 pages at 300 dpi from one scanner PDF.
  std::vector<cv::Mat> classPages;
  for (int i = 0; i < 30; ++i) {
    testkit::TScanDistortion d = generator.RandomDistortion();
    d.Dpi = 300, d.Quarter = 0, d.Perspective = 0, d.Scale = 1;
    const auto scan = generator.Make(jobs[0], 'A', 1, generator.RandomFill(), d);
    cv::Mat fitted;
    cv::resize(scan.Image, fitted, cv::Size(2480, 3508), 0, 0, cv::INTER_AREA);
    classPages.push_back(fitted);
  }
  const std::string pdf = dir.filePath("class.pdf").toStdString();
  testkit::WriteScanPdf(pdf, classPages, TPaperSize::A4);
  const auto start = Clock::now();
  const double cpuStart = CpuMs();
  const auto readings = ReadScanFile(pdf, jobs);
  const double ms = Ms(Clock::now() - start), cpu = CpuMs() - cpuStart;
  int read = 0;
  for (const auto& r : readings) read += r.Status != TPageStatus::Failed;
  std::printf("  class of 30 (one PDF) %.2f s end to end on one core, %.2f s wall clock, %d of %zu pages read\n",
              cpu / 1000, ms / 1000, read, readings.size());
  return 0;
}
