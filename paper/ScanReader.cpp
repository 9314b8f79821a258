#include "paper/ScanReader.h"

#define ZX_USE_UTF8 1
#include <ZXing/ReadBarcode.h>
#include <poppler-qt6.h>

#include <QByteArray>
#include <QFile>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <memory>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include "paper/core/Homography.h"
#include "paper/core/ImageHeader.h"
#include "paper/core/MarkDecision.h"
#include "paper/core/SheetCode.h"

namespace proctorium {

namespace {

// Pages are read at about 200 dpi whatever they were scanned at: enough for
// a pencil tick in a box and for the code, and a 600 dpi page costs no more
// to measure than a 150 dpi one.
constexpr int kWorkLongSide = 2340;
// A PDF page is rendered at this resolution, and smaller for a page larger
// than A3, so that a huge page box cannot ask for gigabytes.
constexpr double kPdfDpi = 200;
constexpr double kPdfMaxPixels = 24e6;
// Larger files than this are no scan of a sheet.
constexpr qint64 kMaxFileBytes = 512LL << 20;

std::string PageName(const std::string& source, int page) {
  const std::string name = source.empty() ? std::string("scan") : std::filesystem::path(source).filename().string();
  return name + ", page " + std::to_string(page + 1);
}

TPageReading Failed(const std::string& source, int page, TPageFailure failure, const std::string& why) {
  TPageReading r;
  r.Source = source;
  r.Page = page;
  r.Status = TPageStatus::Failed;
  r.Failure = failure;
  r.Reason = PageName(source, page) + ": " + why;
  return r;
}

cv::Mat GreyFromQImage(const QImage& image) {
  QImage grey = image.format() == QImage::Format_Grayscale8 ? image : image.convertToFormat(QImage::Format_Grayscale8);
  cv::Mat view(grey.height(), grey.width(), CV_8UC1, const_cast<uchar*>(grey.constBits()),
               static_cast<size_t>(grey.bytesPerLine()));
  return view.clone();
}

QImage QImageFromGrey(const cv::Mat& grey) {
  QImage out(grey.cols, grey.rows, QImage::Format_Grayscale8);
  for (int y = 0; y < grey.rows; ++y) std::memcpy(out.scanLine(y), grey.ptr(y), static_cast<size_t>(grey.cols));
  return out;
}

struct TFoundCode {
  std::optional<TSheetCode> Code;
  bool Foreign = false;              // a code that is not one of ours
  std::array<TPoint2, 4> Corners{};  // top-left, top-right, bottom-right, bottom-left of the symbol
};

TFoundCode FindCode(const cv::Mat& grey, bool harder) {
  TFoundCode found;
  ZXing::ImageView view(grey.data, grey.cols, grey.rows, ZXing::ImageFormat::Lum, static_cast<int>(grey.step));
  ZXing::DecodeHints hints;
  hints.setFormats(ZXing::BarcodeFormat::QRCode);
  hints.setTryRotate(true);
  hints.setTryHarder(harder);
  for (const auto& result : ZXing::ReadBarcodes(view, hints)) {
    if (!result.isValid()) continue;
    auto code = DecodeSheetCode(result.text());
    if (!code) {
      found.Foreign = true;
      continue;
    }
    found.Code = code;
    const auto& p = result.position();
    found.Corners = {TPoint2{double(p.topLeft().x), double(p.topLeft().y)},
                     TPoint2{double(p.topRight().x), double(p.topRight().y)},
                     TPoint2{double(p.bottomRight().x), double(p.bottomRight().y)},
                     TPoint2{double(p.bottomLeft().x), double(p.bottomLeft().y)}};
    break;
  }
  return found;
}

struct TBlob {
  TPoint2 Centre;
  double Side = 0;
};

// Solid dark squares of about the corner marks' size: the candidates for
// the four corners. `side` is the expected side in pixels.
std::vector<TBlob> FindSquares(const cv::Mat& whole, double side, cv::Rect window = {}) {
  window = window.area() > 0 ? window & cv::Rect(0, 0, whole.cols, whole.rows) : cv::Rect(0, 0, whole.cols, whole.rows);
  if (window.area() <= 0) return {};
  const cv::Mat grey = whole(window);
  cv::Mat binary;
  int block = static_cast<int>(side * 3) | 1;
  block = std::max(block, 15);
  cv::adaptiveThreshold(grey, binary, 255, cv::ADAPTIVE_THRESH_MEAN_C, cv::THRESH_BINARY_INV, block, 25);
  std::vector<std::vector<cv::Point>> contours;
  cv::findContours(binary, contours, cv::RETR_EXTERNAL, cv::CHAIN_APPROX_SIMPLE);
  std::vector<TBlob> blobs;
  const double minArea = side * side * 0.4, maxArea = side * side * 2.2;
  for (const auto& c : contours) {
    const cv::Rect box = cv::boundingRect(c);
    if (box.width < side * 0.5 || box.height < side * 0.5 || box.width > side * 2.5 || box.height > side * 2.5)
      continue;
    const double area = cv::contourArea(c);
    if (area < minArea || area > maxArea) continue;
    const cv::RotatedRect rr = cv::minAreaRect(c);
    const double w = rr.size.width, h = rr.size.height;
    if (w <= 0 || h <= 0 || std::max(w, h) / std::min(w, h) > 1.35) continue;
    if (area / (w * h) < 0.8) continue;
    // Solid, not an outline: the middle of the square is dark too.
    const cv::Moments mo = cv::moments(c);
    const int cx = static_cast<int>(mo.m10 / mo.m00), cy = static_cast<int>(mo.m01 / mo.m00);
    if (cx < 0 || cy < 0 || cx >= binary.cols || cy >= binary.rows || binary.at<uchar>(cy, cx) == 0) continue;
    blobs.push_back({TPoint2{window.x + mo.m10 / mo.m00, window.y + mo.m01 / mo.m00}, std::sqrt(area)});
  }
  return blobs;
}

TPoint2 Centre(const TPaperRect& r) { return {r.X + r.W / 2, r.Y + r.H / 2}; }

double Sample(const cv::Mat& grey, TPoint2 p) {
  const double x = std::clamp(p.X - 0.5, 0.0, double(grey.cols - 1)),
               y = std::clamp(p.Y - 0.5, 0.0, double(grey.rows - 1));
  const int x0 = static_cast<int>(x), y0 = static_cast<int>(y);
  const int x1 = std::min(x0 + 1, grey.cols - 1), y1 = std::min(y0 + 1, grey.rows - 1);
  const double fx = x - x0, fy = y - y0;
  const double top = grey.at<uchar>(y0, x0) * (1 - fx) + grey.at<uchar>(y0, x1) * fx;
  const double bottom = grey.at<uchar>(y1, x0) * (1 - fx) + grey.at<uchar>(y1, x1) * fx;
  return top * (1 - fy) + bottom * fy;
}

constexpr int kGrid = 10;

TBoxMark ReadBox(const cv::Mat& grey, const THomography& h, const TPageContrast& contrast, const TPaperRect& box) {
  // The outline and a little misregistration stay outside the sampled area.
  const double mx = box.W * 0.2, my = box.H * 0.2;
  std::vector<double> darkness;
  darkness.reserve(kGrid * kGrid);
  for (int r = 0; r < kGrid; ++r)
    for (int c = 0; c < kGrid; ++c) {
      // Each cell is the mean of four points across it: a scanner's noise
      // averages out while a pencil line, wider than a cell, keeps its tone.
      double sum = 0;
      for (double u : {0.25, 0.75})
        for (double v : {0.25, 0.75}) {
          const double x = box.X + mx + (box.W - 2 * mx) * (c + u) / kGrid;
          const double y = box.Y + my + (box.H - 2 * my) * (r + v) / kGrid;
          sum += Sample(grey, h.Map(x, y));
        }
      darkness.push_back(contrast.Darkness(sum / 4));
    }
  return DecideMark(MeasureBox(darkness, kGrid));
}

const TSheetLayout* FindLayout(const std::vector<TPaperJob>& jobs, const TSheetCode& code, bool& jobKnown) {
  jobKnown = false;
  for (const auto& job : jobs) {
    if (job.JobId != code.JobId || job.Fingerprint != code.Fingerprint) continue;
    jobKnown = true;
    for (const auto& version : job.Versions) {
      if (version.Letter != code.Version) continue;
      if (code.Sheet < 1 || code.Sheet > static_cast<int>(version.Sheets.size())) return nullptr;
      if (static_cast<int>(version.Sheets.size()) != code.SheetCount) return nullptr;
      return &version.Sheets[code.Sheet - 1];
    }
  }
  return nullptr;
}

TPageReading ReadGrey(const cv::Mat& full, const std::vector<TPaperJob>& jobs, const std::string& source, int page) {
  if (full.empty() || full.cols < 50 || full.rows < 50)
    return Failed(source, page, TPageFailure::NotAnImage, "the page is empty or too small to be a scan.");
  const double f = std::min(1.0, double(kWorkLongSide) / std::max(full.cols, full.rows));
  cv::Mat grey;
  if (f < 1)
    cv::resize(full, grey, cv::Size(), f, f, cv::INTER_AREA);
  else
    grey = full;

  // The code is large enough to be read at half the working resolution,
  // which takes a quarter of the time; the full picture is for codes that
  // a blur or a poor copy has left faint.
  TFoundCode found;
  {
    cv::Mat half;
    cv::resize(grey, half, cv::Size(), 0.5, 0.5, cv::INTER_AREA);
    found = FindCode(half, false);
    for (auto& p : found.Corners) p.X *= 2, p.Y *= 2;
  }
  if (!found.Code) found = FindCode(grey, true);
  if (!found.Code && f < 1) {
    found = FindCode(full, true);
    for (auto& p : found.Corners) p.X *= f, p.Y *= f;
  }
  const double longPx = std::max(grey.cols, grey.rows), shortPx = std::min(grey.cols, grey.rows);
  if (!found.Code) {
    // Tell a sheet whose code is spoilt from a page that is no sheet at all:
    // a sheet still shows solid squares near its corners.
    const double scale = longPx / 842.0;
    const auto squares = FindSquares(grey, MillimetresToPoints(SheetCornerSizeMm) * scale);
    int corners = 0;
    const TPoint2 imageCorners[4] = {
        {0, 0}, {double(grey.cols), 0}, {double(grey.cols), double(grey.rows)}, {0, double(grey.rows)}};
    for (const auto& corner : imageCorners)
      corners += std::any_of(squares.begin(), squares.end(), [&](const TBlob& b) {
        return std::hypot(b.Centre.X - corner.X, b.Centre.Y - corner.Y) < 0.2 * shortPx;
      });
    if (corners >= 3)
      return Failed(source, page, TPageFailure::NoQr,
                    "the sheet's code cannot be read; it may be smudged, covered or torn off.");
    return Failed(source, page, TPageFailure::NotAnswerSheet,
                  found.Foreign ? "this is not an answer sheet (it carries another code)."
                                : "this is not an answer sheet (no sheet code and no corner marks).");
  }

  const TSheetCode code = *found.Code;
  bool jobKnown = false;
  const TSheetLayout* layout = FindLayout(jobs, code, jobKnown);
  if (!layout) {
    TPageReading r =
        jobKnown ? Failed(source, page, TPageFailure::UnknownVersion,
                          std::string("the print job has no version ") + code.Version + " with sheet " +
                              std::to_string(code.Sheet) + " of " + std::to_string(code.SheetCount) + ".")
                 : Failed(source, page, TPageFailure::WrongSet,
                          "this sheet belongs to another set or another print of it; choose that job to read it.");
    r.Code = code;
    return r;
  }

  // Where the corners should be: the code gives the page's turn, skew and
  // scale (the picture's size would not: a skewed page's picture is larger
  // than the page, and a phone photo holds more than the sheet).
  const auto& q = found.Corners;
  const double angle = std::atan2((q[1].Y - q[0].Y) + (q[2].Y - q[3].Y), (q[1].X - q[0].X) + (q[2].X - q[3].X));
  double codeSide = 0;
  for (int i = 0; i < 4; ++i) codeSide += std::hypot(q[(i + 1) % 4].X - q[i].X, q[(i + 1) % 4].Y - q[i].Y) / 4;
  const double scale = codeSide / layout->Qr.W;
  const TPoint2 codeCentre{(q[0].X + q[1].X + q[2].X + q[3].X) / 4, (q[0].Y + q[1].Y + q[2].Y + q[3].Y) / 4};
  const TPoint2 qrPage = Centre(layout->Qr);
  auto predict = [&](TPoint2 p) {
    const double dx = (p.X - qrPage.X) * scale, dy = (p.Y - qrPage.Y) * scale;
    return TPoint2{codeCentre.X + dx * std::cos(angle) - dy * std::sin(angle),
                   codeCentre.Y + dx * std::sin(angle) + dy * std::cos(angle)};
  };
  const double markSide = layout->Corners[0].W * scale;
  std::array<TPoint2, 4> pageCorners{}, imageCorners{};
  const char* why = "a corner mark is missing";
  bool ok = true;
  for (int i = 0; i < 4 && ok; ++i) {
    pageCorners[i] = Centre(layout->Corners[i]);
    const TPoint2 expected = predict(pageCorners[i]);
    // Only around where the mark should be: a tenth of the page either way
    // covers the error of a scale read from the code at ten degrees' skew.
    const double reach = 0.1 * longPx;
    const auto squares =
        FindSquares(grey, markSide,
                    cv::Rect(static_cast<int>(expected.X - reach), static_cast<int>(expected.Y - reach),
                             static_cast<int>(2 * reach), static_cast<int>(2 * reach)));
    // A filled answer box near a mark is a solid square too, but well under
    // two thirds of a mark's side: the size tells them apart.
    double best = 2;
    ok = false;
    for (const auto& b : squares) {
      const double size = b.Side / markSide;
      if (size < 0.78 || size > 1.3) continue;
      const double d = std::hypot(b.Centre.X - expected.X, b.Centre.Y - expected.Y);
      if (d >= reach) continue;
      const double score = d / reach + std::fabs(size - 1);
      if (score < best) best = score, imageCorners[i] = b.Centre, ok = true;
    }
  }
  std::optional<THomography> h;
  if (ok && CornersFitPage(pageCorners, imageCorners, scale, &why))
    h = THomography::FromPoints(pageCorners, imageCorners);
  if (h) {
    // The code must sit where the marks say: four marks of another page
    // lying under this one would put it elsewhere.
    const TPoint2 qrAt = h->Map(qrPage);
    if (std::hypot(qrAt.X - codeCentre.X, qrAt.Y - codeCentre.Y) > 0.2 * layout->Qr.W * scale) {
      h.reset();
      why = "the marks do not agree with the sheet's code";
    }
  }
  if (!h) {
    TPageReading r = Failed(source, page, TPageFailure::CornersNotFound,
                            std::string("the four corner marks cannot be found (") + why +
                                "); scan the whole page, flat, with its corners showing.");
    r.Code = code;
    return r;
  }

  // The page's own tones: its printed marks for ink, the bright end of the
  // area inside them for paper.
  TPageContrast contrast;
  {
    double ink = 0;
    int n = 0;
    for (const auto& c : layout->Corners)
      for (int i = 1; i < 4; ++i)
        for (int j = 1; j < 4; ++j) ink += Sample(grey, h->Map(c.X + c.W * i / 4, c.Y + c.H * j / 4)), ++n;
    contrast.Ink = ink / n;
    std::vector<uchar> values;
    const TPoint2 a = pageCorners[0], b = pageCorners[2];
    for (int i = 1; i < 60; ++i)
      for (int j = 1; j < 60; ++j) {
        const TPoint2 p = h->Map(a.X + (b.X - a.X) * i / 60, a.Y + (b.Y - a.Y) * j / 60);
        if (p.X >= 0 && p.Y >= 0 && p.X < grey.cols && p.Y < grey.rows)
          values.push_back(grey.at<uchar>(static_cast<int>(p.Y), static_cast<int>(p.X)));
      }
    if (!values.empty()) {
      auto at = values.begin() + static_cast<long>(values.size() * 0.9);
      std::nth_element(values.begin(), at, values.end());
      contrast.Paper = *at;
    }
  }
  if (!contrast.Usable()) {
    TPageReading r = Failed(source, page, TPageFailure::NotAnImage,
                            "the scan is too faint or too dark to tell marks from paper; rescan it.");
    r.Code = code;
    return r;
  }

  TPageReading r;
  r.Source = source;
  r.Page = page;
  r.Code = code;
  r.Failure = TPageFailure::None;
  bool doubtful = false;
  for (const auto& column : layout->IdBoxes) {
    std::array<TBoxMark, 10> marks{};
    int marked = 0, digit = -1;
    bool unsure = false;
    for (int d = 0; d < 10; ++d) {
      marks[d] = ReadBox(grey, *h, contrast, column[d]);
      if (marks[d] == TBoxMark::Marked) ++marked, digit = d;
      if (marks[d] == TBoxMark::Doubtful) unsure = true, doubtful = true;
    }
    r.IdMarks.push_back(marks);
    const bool single = marked == 1 && !unsure;
    r.CandidateId += single ? static_cast<char>('0' + digit) : '?';
    if (!single) doubtful = true;
  }
  for (const auto& row : layout->Rows) {
    std::vector<TBoxMark> marks;
    for (const auto& box : row.Boxes) {
      marks.push_back(ReadBox(grey, *h, contrast, box));
      if (marks.back() == TBoxMark::Doubtful) doubtful = true;
    }
    r.Answers.push_back(std::move(marks));
  }
  // Into the full picture's pixels, which the review shows.
  std::array<double, 9> m = h->Matrix();
  for (int i = 0; i < 6; ++i) m[i] /= f;
  r.PageToImage = m;
  r.Status = doubtful ? TPageStatus::Doubtful : TPageStatus::Read;
  if (doubtful) r.Reason = PageName(source, page) + ": some boxes need a look.";
  return r;
}

// The pages of a file as grey pictures, one at a time.
class TPageSource {
 public:
  explicit TPageSource(const std::string& file) : File(file) {
    QFile in(QString::fromStdString(file));
    if (!in.open(QIODevice::ReadOnly)) {
      Error = "the file cannot be opened.";
      return;
    }
    // A PDF is left on disk for Poppler to read page by page; a picture is
    // read whole, as its decoder wants, up to a size no scan of a sheet has.
    const QByteArray head = in.peek(1024);
    const bool pdf = ReadImageHeader(std::string_view(head.constData(), static_cast<size_t>(head.size()))).Format ==
                     TImageFormat::Pdf;
    if (!pdf && in.size() > kMaxFileBytes) {
      Error = "the file is too large to be a scan.";
      TooLarge = true;
      return;
    }
    Bytes = pdf ? head : in.readAll();
    Header = ReadImageHeader(std::string_view(Bytes.constData(), static_cast<size_t>(Bytes.size())));
    switch (Header.Format) {
      case TImageFormat::Unknown:
        Error = "this is neither a picture (PNG, JPEG, TIFF) nor a PDF.";
        return;
      case TImageFormat::Pdf:
        Pdf = Poppler::Document::load(QString::fromStdString(file));
        if (!Pdf) {
          Error = "the PDF cannot be opened; it may be damaged or incomplete.";
          return;
        }
        if (Pdf->isLocked()) {
          Error = "the PDF is protected by a password; save it from the scanner without one.";
          Pdf.reset();
          return;
        }
        Pdf->setRenderHint(Poppler::Document::Antialiasing);
        Count = Pdf->numPages();
        if (Count <= 0) Error = "the PDF has no pages; it may be damaged or incomplete.";
        return;
      default:
        if (Header.Width <= 0 || Header.Height <= 0) {
          Error = "the picture is damaged: its size cannot be read.";
          return;
        }
        if (Header.Width * Header.Height > kMaxScanPixels) {
          Error = "the picture is too large to read (" + std::to_string(Header.Width) + " x " +
                  std::to_string(Header.Height) + " pixels; at most 100 million).";
          TooLarge = true;
          return;
        }
        Count = Header.Pages;
        return;
    }
  }

  int Pages() const { return Count; }
  const std::string& OpenError() const { return Error; }
  bool Refused() const { return TooLarge; }

  // The page in grey, or an empty matrix with `why` set.
  cv::Mat Page(int index, std::string& why) {
    if (Pdf) {
      std::unique_ptr<Poppler::Page> p(Pdf->page(index));
      if (!p) {
        why = "the page cannot be read from the PDF; it may be damaged or incomplete.";
        return {};
      }
      const QSizeF size = p->pageSizeF();  // points
      double dpi = kPdfDpi;
      const double pixels = size.width() * size.height() * (dpi / 72) * (dpi / 72);
      if (pixels > kPdfMaxPixels) dpi *= std::sqrt(kPdfMaxPixels / pixels);
      const QImage image = p->renderToImage(dpi, dpi);
      if (image.isNull()) {
        why = "the page cannot be drawn from the PDF; it may be damaged or incomplete.";
        return {};
      }
      return GreyFromQImage(image);
    }
    cv::Mat grey;
    try {
      if (Header.Format == TImageFormat::Tiff && Header.Pages > 1) {
        std::vector<cv::Mat> pages;
        cv::imreadmulti(File, pages, index, 1, cv::IMREAD_GRAYSCALE);
        if (!pages.empty()) grey = pages.front();
      } else {
        cv::Mat raw(1, static_cast<int>(Bytes.size()), CV_8UC1, Bytes.data());
        // A JPEG decodes at half size for the price of a quarter; a page of
        // 400 dpi and more loses nothing the reader needs by it.
        const bool halve =
            Header.Format == TImageFormat::Jpeg && std::max(Header.Width, Header.Height) >= 2 * kWorkLongSide;
        grey = cv::imdecode(raw, halve ? cv::IMREAD_REDUCED_GRAYSCALE_2 : cv::IMREAD_GRAYSCALE);
      }
    } catch (const cv::Exception&) {
      grey.release();
    }
    if (grey.empty()) why = "the picture cannot be decoded; it may be damaged or incomplete.";
    return grey;
  }

 private:
  std::string File;
  QByteArray Bytes;
  TImageHeader Header;
  std::unique_ptr<Poppler::Document> Pdf;
  int Count = 0;
  std::string Error;
  bool TooLarge = false;
};

}  // namespace

std::vector<TPageReading> ReadScanFile(const std::string& file, const std::vector<TPaperJob>& jobs) {
  TPageSource source(file);
  if (!source.OpenError().empty())
    return {Failed(file, 0, source.Refused() ? TPageFailure::TooLarge : TPageFailure::NotAnImage, source.OpenError())};
  std::vector<TPageReading> readings;
  for (int i = 0; i < source.Pages(); ++i) {
    std::string why;
    const cv::Mat grey = source.Page(i, why);
    readings.push_back(grey.empty() ? Failed(file, i, TPageFailure::NotAnImage, why) : ReadGrey(grey, jobs, file, i));
  }
  return readings;
}

TPageReading ReadScanImage(const QImage& image, const std::vector<TPaperJob>& jobs, const std::string& source,
                           int page) {
  if (image.isNull()) return Failed(source, page, TPageFailure::NotAnImage, "the page is empty.");
  if (static_cast<long long>(image.width()) * image.height() > kMaxScanPixels)
    return Failed(source, page, TPageFailure::TooLarge, "the picture is too large to read.");
  return ReadGrey(GreyFromQImage(image), jobs, source, page);
}

QImage LoadScanPage(const std::string& file, int page) {
  TPageSource source(file);
  if (!source.OpenError().empty() || page < 0 || page >= source.Pages()) return {};
  std::string why;
  const cv::Mat grey = source.Page(page, why);
  return grey.empty() ? QImage() : QImageFromGrey(grey);
}

int ScanPageCount(const std::string& file) {
  TPageSource source(file);
  return source.OpenError().empty() ? source.Pages() : 0;
}

}  // namespace proctorium
