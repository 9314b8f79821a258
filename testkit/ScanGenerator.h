#pragma once
// Synthetic scans of filled answer sheets, with the truth of every box: the
// sheets are drawn from their layout, filled as candidates fill them and
// spoilt as scanners and phones spoil them. Everything follows from the
// seed, so a failing page can be made again.

#include <cstdint>
#include <opencv2/core.hpp>
#include <random>
#include <string>
#include <vector>

#include "paper/core/PageReading.h"
#include "paper/core/PaperJob.h"

namespace proctorium::testkit {

enum class TMarkStyle {
  PenFill,       // a solid fill, from near black to mid grey
  PencilFill,    // a light pencil fill
  Tick,          // a pen tick
  Cross,         // a pen cross
  PencilTick,    // a light pencil tick
  ScribbledFill  // a fill scribbled over: still an answer
};

struct TFillOptions {
  TMarkStyle Style = TMarkStyle::PenFill;
  bool MixStyles = false;   // each box its own style
  double Erasures = 0;      // chance a question also has an erased box
  double DoubleMarks = 0;   // chance a question has two answers
  double Blanks = 0;        // chance a question is left blank
  bool StrayMarks = false;  // lines in the margins and between rows
  bool CoffeeRing = false;  // a faint ring somewhere on the page
  bool FillId = true;       // the candidate ID, on a sheet that has one
};

struct TScanDistortion {
  int Dpi = 300;
  int Quarter = 0;            // turned by 90 degrees this many times, clockwise
  double SkewDegrees = 0;     // and by this much more
  double Scale = 1;           // 0.9 .. 1.1
  double Perspective = 0;     // corner displacement, share of the page (0 .. 0.03)
  double Blur = 0;            // Gaussian sigma in pixels at 300 dpi
  double Noise = 0;           // Gaussian sigma in grey levels
  int JpegQuality = 0;        // 0: no JPEG round trip
  bool BlackWhite = false;    // thresholded, as a scanner's black-and-white mode
  int Paper = 245, Ink = 20;  // grey levels the scanner gives paper and toner
};

// What was put on the page.
struct TSheetTruth {
  TSheetCode Code;
  std::vector<std::vector<TBoxMark>> Answers;  // Marked or Empty, per row and box
  std::vector<std::array<TBoxMark, 10>> IdMarks;
  std::string CandidateId;
};

struct TGeneratedScan {
  cv::Mat Image;  // 8-bit grey
  TSheetTruth Truth;
};

// A print job for tests: one set of `questions` questions with 2 to 8
// answers, `versions` versions.
TPaperJob SampleJob(std::uint32_t jobId, TPaperSize size, int questions, int versions = 2, int idDigits = 6,
                    std::uint64_t seed = 1);

// The printed sheet, clean, at `dpi`.
cv::Mat RenderSheet(const TSheetLayout& layout, const TSheetCode& code, int dpi);

class TScanGenerator {
 public:
  explicit TScanGenerator(std::uint64_t seed) : Random(seed) {}

  TGeneratedScan Make(const TPaperJob& job, char version, int sheet, const TFillOptions& fill,
                      const TScanDistortion& distortion);

  // A varied page as the benchmark draws them: every kind of filling and of
  // scanner or phone at its share.
  TFillOptions RandomFill();
  TScanDistortion RandomDistortion();

  // Spoils a clean picture as `d` says (used by Make).
  cv::Mat Distort(const cv::Mat& sheet, const TScanDistortion& d);

  double Uniform(double a, double b) { return std::uniform_real_distribution<double>(a, b)(Random); }
  int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(Random); }
  bool Chance(double p) { return Uniform(0, 1) < p; }

 private:
  std::mt19937_64 Random;
};

// Files as scanners write them.
bool WriteScanImage(const std::string& path, const cv::Mat& image, int jpegQuality = 85);
bool WriteScanTiff(const std::string& path, const std::vector<cv::Mat>& pages);
// A scanner's PDF: each picture a page of the given paper size.
bool WriteScanPdf(const std::string& path, const std::vector<cv::Mat>& pages, TPaperSize size);

}  // namespace proctorium::testkit
