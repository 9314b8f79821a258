#include "testkit/ScanGenerator.h"

#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <numeric>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include "paper/AnswerSheetPainter.h"
#include "paper/core/SheetCode.h"

namespace proctorium::testkit {

namespace {

cv::Point2f At(double x, double y, double k) { return {static_cast<float>(x * k), static_cast<float>(y * k)}; }

cv::Scalar Grey(double v) { return cv::Scalar(std::clamp(v, 0.0, 255.0)); }

}  // namespace

TPaperJob SampleJob(std::uint32_t jobId, TPaperSize size, int questions, int versions, int idDigits,
                    std::uint64_t seed) {
  std::mt19937_64 random(seed);
  TPaperJob job;
  job.JobId = jobId;
  job.SetFile = "Sample.set";
  job.Fingerprint = 0x5EED000000000000ULL ^ (std::uint64_t(jobId) * 0x9E3779B97F4A7C15ULL);
  job.Seed = seed;
  job.Created = "2026-12-07 09:00:00";
  job.Options.Size = size;
  job.Options.IdDigits = idDigits;
  std::vector<int> counts(questions);
  for (int& c : counts) c = 2 + static_cast<int>(random() % 7);
  for (int v = 0; v < versions; ++v) {
    TPaperVersion version;
    version.Letter = static_cast<char>('A' + v);
    std::vector<int> order(questions);
    std::iota(order.begin(), order.end(), 0);
    std::shuffle(order.begin(), order.end(), random);
    std::vector<int> printedCounts;
    for (int q : order) {
      TPaperQuestion pq;
      pq.SetQuestion = q + 1;
      pq.Answers.resize(counts[q]);
      std::iota(pq.Answers.begin(), pq.Answers.end(), 0);
      std::shuffle(pq.Answers.begin(), pq.Answers.end(), random);
      for (int k = 0; k < counts[q]; ++k)
        if (pq.Answers[k] == 0) pq.Key = AnswerMask(1u << k);
      version.Questions.push_back(pq);
      printedCounts.push_back(counts[q]);
    }
    version.Sheets = LayoutAnswerSheets(job.Options, printedCounts);
    job.Versions.push_back(std::move(version));
  }
  return job;
}

cv::Mat RenderSheet(const TSheetLayout& layout, const TSheetCode& code, int dpi) {
  const QImage image = RenderAnswerSheet(layout, EncodeSheetCode(code), dpi);
  cv::Mat page(image.height(), image.width(), CV_8UC1);
  for (int y = 0; y < image.height(); ++y) std::memcpy(page.ptr(y), image.constScanLine(y), size_t(image.width()));
  return page;
}

namespace {

// Human hands: nothing is drawn exactly where it is meant to be.
struct THand {
  TScanGenerator& G;
  cv::Mat& Page;
  double K;

  cv::Point2f P(const TPaperRect& r, double u, double v, double wobble) {
    return At(r.X + r.W * (u + G.Uniform(-wobble, wobble)), r.Y + r.H * (v + G.Uniform(-wobble, wobble)), K);
  }
  int Width(double points) { return std::max(1, static_cast<int>(std::lround(points * K))); }

  void Fill(const TPaperRect& r, double grey) {
    std::vector<cv::Point> poly;
    for (auto [u, v] : {std::pair{0.12, 0.12}, {0.88, 0.12}, {0.88, 0.88}, {0.12, 0.88}}) {
      const cv::Point2f p = P(r, u, v, 0.06);
      poly.emplace_back(static_cast<int>(p.x), static_cast<int>(p.y));
    }
    cv::fillConvexPoly(Page, poly, Grey(grey), cv::LINE_AA);
  }
  void Stroke(const TPaperRect& r, double u0, double v0, double u1, double v1, double grey, double width) {
    cv::line(Page, P(r, u0, v0, 0.05), P(r, u1, v1, 0.05), Grey(grey), Width(width), cv::LINE_AA);
  }
  void Tick(const TPaperRect& r, double grey, double width) {
    const cv::Point2f a = P(r, 0.15, 0.5, 0.05), b = P(r, 0.42, 0.85, 0.05), c = P(r, 0.9, 0.1, 0.05);
    cv::line(Page, a, b, Grey(grey), Width(width), cv::LINE_AA);
    cv::line(Page, b, c, Grey(grey), Width(width), cv::LINE_AA);
  }
  void Mark(const TPaperRect& r, TMarkStyle style) {
    switch (style) {
      case TMarkStyle::PenFill:
        Fill(r, G.Uniform(0, 110));
        break;
      case TMarkStyle::PencilFill:
        Fill(r, G.Uniform(140, 175));
        break;
      case TMarkStyle::Tick:
        Tick(r, G.Uniform(0, 70), G.Uniform(0.8, 1.5));
        break;
      case TMarkStyle::PencilTick:
        Tick(r, G.Uniform(120, 160), G.Uniform(1.0, 1.6));
        break;
      case TMarkStyle::Cross: {
        const double grey = G.Uniform(0, 70), width = G.Uniform(0.8, 1.5);
        Stroke(r, 0.1, 0.1, 0.9, 0.9, grey, width);
        Stroke(r, 0.9, 0.1, 0.1, 0.9, grey, width);
        break;
      }
      case TMarkStyle::ScribbledFill:
        Fill(r, G.Uniform(0, 80));
        for (int i = 0; i < 4; ++i)
          Stroke(r, G.Uniform(-0.2, 1.2), G.Uniform(-0.2, 1.2), G.Uniform(-0.2, 1.2), G.Uniform(-0.2, 1.2),
                 G.Uniform(0, 60), 0.8);
        break;
    }
  }
  // What an eraser leaves: a faint grey smear, a little ragged.
  void Erased(const TPaperRect& r) { Fill(r, G.Uniform(222, 240)); }
};

TMarkStyle AnyStyle(TScanGenerator& g) { return static_cast<TMarkStyle>(g.Pick(6)); }

}  // namespace

TGeneratedScan TScanGenerator::Make(const TPaperJob& job, char version, int sheet, const TFillOptions& fill,
                                    const TScanDistortion& distortion) {
  const TPaperVersion* v = nullptr;
  for (const auto& candidate : job.Versions)
    if (candidate.Letter == version) v = &candidate;
  const TSheetLayout& layout = v->Sheets.at(sheet - 1);
  TGeneratedScan out;
  out.Truth.Code = {job.JobId, job.Fingerprint, version, sheet, static_cast<int>(v->Sheets.size())};
  cv::Mat page = RenderSheet(layout, out.Truth.Code, distortion.Dpi);
  THand hand{*this, page, distortion.Dpi / 72.0};
  auto style = [&] { return fill.MixStyles ? AnyStyle(*this) : fill.Style; };

  if (fill.CoffeeRing) {
    const double cx = Uniform(0.2, 0.8) * page.cols, cy = Uniform(0.3, 0.9) * page.rows,
                 rad = Uniform(0.05, 0.1) * page.cols;
    cv::circle(page, cv::Point(static_cast<int>(cx), static_cast<int>(cy)), static_cast<int>(rad),
               Grey(Uniform(215, 230)), hand.Width(Uniform(2, 5)), cv::LINE_AA);
  }
  for (const auto& column : layout.IdBoxes) {
    std::array<TBoxMark, 10> marks;
    marks.fill(TBoxMark::Empty);
    if (fill.FillId) {
      const int digit = Pick(10);
      hand.Mark(column[digit], style());
      marks[digit] = TBoxMark::Marked;
      out.Truth.CandidateId += static_cast<char>('0' + digit);
    } else {
      out.Truth.CandidateId += '?';
    }
    out.Truth.IdMarks.push_back(marks);
  }
  for (const auto& row : layout.Rows) {
    const int n = static_cast<int>(row.Boxes.size());
    std::vector<TBoxMark> marks(n, TBoxMark::Empty);
    if (!Chance(fill.Blanks)) {
      const int chosen = Pick(n);
      marks[chosen] = TBoxMark::Marked;
      if (Chance(fill.DoubleMarks)) marks[(chosen + 1 + Pick(n - 1)) % n] = TBoxMark::Marked;
      if (Chance(fill.Erasures)) {
        const int erased = (chosen + 1 + Pick(n - 1)) % n;
        if (marks[erased] == TBoxMark::Empty) hand.Erased(row.Boxes[erased]);
      }
    }
    for (int b = 0; b < n; ++b)
      if (marks[b] == TBoxMark::Marked) hand.Mark(row.Boxes[b], style());
    out.Truth.Answers.push_back(std::move(marks));
  }
  if (fill.StrayMarks) {
    // In the margins, where a pen rests or a candidate doodles: never over a box.
    const double k = hand.K;
    for (int i = 0; i < 3; ++i) {
      const double x = Uniform(layout.Corners[0].X + 30, layout.Width - 60), y = layout.Height - Uniform(14, 22);
      cv::line(page, At(x, y, k), At(x + Uniform(10, 40), y + Uniform(-4, 4), k), Grey(Uniform(0, 120)), hand.Width(1),
               cv::LINE_AA);
    }
    const double x = Uniform(0.3, 0.5) * layout.Width,
                 y = layout.NameLine.W > 0 ? layout.NameLine.Y + 8 : layout.Qr.Y + 20;
    cv::putText(page, "Sam", At(x, y, k), cv::FONT_HERSHEY_SCRIPT_SIMPLEX, k * 0.5, Grey(30), hand.Width(1),
                cv::LINE_AA);
  }
  out.Image = Distort(page, distortion);
  return out;
}

cv::Mat TScanGenerator::Distort(const cv::Mat& sheet, const TScanDistortion& d) {
  // Where the page's corners land: scaled and turned about its middle, each
  // corner pushed a little for a phone's perspective; then onto a canvas
  // that holds it all, as a scanner's glass or a photo around the sheet.
  const double w = sheet.cols, h = sheet.rows, a = d.SkewDegrees * M_PI / 180;
  std::vector<cv::Point2f> from = {{0, 0}, {float(w), 0}, {float(w), float(h)}, {0, float(h)}}, to;
  for (const auto& p : from) {
    const double x = (p.x - w / 2) * d.Scale, y = (p.y - h / 2) * d.Scale;
    to.emplace_back(static_cast<float>(x * std::cos(a) - y * std::sin(a) + Uniform(-1, 1) * d.Perspective * w),
                    static_cast<float>(x * std::sin(a) + y * std::cos(a) + Uniform(-1, 1) * d.Perspective * h));
  }
  float minX = 1e9f, minY = 1e9f, maxX = -1e9f, maxY = -1e9f;
  for (const auto& p : to)
    minX = std::min(minX, p.x), minY = std::min(minY, p.y), maxX = std::max(maxX, p.x), maxY = std::max(maxY, p.y);
  const float margin = static_cast<float>(Uniform(0.005, 0.02) * w);
  for (auto& p : to) p.x += margin - minX, p.y += margin - minY;
  const cv::Size size(static_cast<int>(maxX - minX + 2 * margin), static_cast<int>(maxY - minY + 2 * margin));
  cv::Mat out;
  cv::warpPerspective(sheet, out, cv::getPerspectiveTransform(from, to), size, cv::INTER_LINEAR, cv::BORDER_CONSTANT,
                      cv::Scalar(Uniform(200, 255)));
  if (d.Quarter % 4 == 1) cv::rotate(out, out, cv::ROTATE_90_CLOCKWISE);
  if (d.Quarter % 4 == 2) cv::rotate(out, out, cv::ROTATE_180);
  if (d.Quarter % 4 == 3) cv::rotate(out, out, cv::ROTATE_90_COUNTERCLOCKWISE);
  if (d.Blur > 0) cv::GaussianBlur(out, out, cv::Size(), d.Blur * d.Dpi / 300.0);
  if (d.BlackWhite) {
    if (d.Noise > 0) {
      cv::Mat noise(out.size(), CV_16SC1);
      cv::randn(noise, 0, d.Noise);
      cv::Mat wide;
      out.convertTo(wide, CV_16SC1);
      cv::add(wide, noise, wide);
      wide.convertTo(out, CV_8UC1);
    }
    // Set light enough to keep pencil, as a teacher sets it for pencil sheets.
    cv::threshold(out, out, 200, 255, cv::THRESH_BINARY);
    return out;
  }
  out.convertTo(out, CV_8UC1, (d.Paper - d.Ink) / 255.0, d.Ink);
  if (d.Noise > 0) {
    cv::Mat noise(out.size(), CV_16SC1);
    cv::randn(noise, 0, d.Noise);
    cv::Mat wide;
    out.convertTo(wide, CV_16SC1);
    cv::add(wide, noise, wide);
    wide.convertTo(out, CV_8UC1);
  }
  if (d.JpegQuality > 0) {
    std::vector<uchar> bytes;
    cv::imencode(".jpg", out, bytes, {cv::IMWRITE_JPEG_QUALITY, d.JpegQuality});
    out = cv::imdecode(bytes, cv::IMREAD_GRAYSCALE);
  }
  return out;
}

TFillOptions TScanGenerator::RandomFill() {
  TFillOptions f;
  f.MixStyles = Chance(0.4);
  f.Style = static_cast<TMarkStyle>(Pick(6));
  f.Erasures = Chance(0.3) ? 0.1 : 0;
  f.DoubleMarks = 0.03;
  f.Blanks = 0.05;
  f.StrayMarks = Chance(0.3);
  f.CoffeeRing = Chance(0.1);
  return f;
}

TScanDistortion TScanGenerator::RandomDistortion() {
  TScanDistortion d;
  const int dpis[] = {150, 200, 300, 300, 300, 600};
  d.Dpi = dpis[Pick(6)];
  d.Quarter = Chance(0.7) ? 0 : Pick(4);
  d.SkewDegrees = Chance(0.5) ? Uniform(-2, 2) : Uniform(-10, 10);
  d.Scale = Uniform(0.9, 1.1);
  d.Perspective = Chance(0.25) ? Uniform(0, 0.03) : 0;
  d.Blur = Chance(0.5) ? Uniform(0, 1.2) : 0;
  d.Noise = Uniform(0, 10);
  d.BlackWhite = Chance(0.2);
  d.JpegQuality = !d.BlackWhite && Chance(0.4) ? 40 + Pick(50) : 0;
  d.Paper = 225 + Pick(31);
  d.Ink = Pick(50);
  return d;
}

bool WriteScanImage(const std::string& path, const cv::Mat& image, int jpegQuality) {
  // The lightest PNG compression: it costs the writer, not the reader.
  return cv::imwrite(path, image, {cv::IMWRITE_JPEG_QUALITY, jpegQuality, cv::IMWRITE_PNG_COMPRESSION, 1});
}

bool WriteScanTiff(const std::string& path, const std::vector<cv::Mat>& pages) { return cv::imwrite(path, pages); }

bool WriteScanPdf(const std::string& path, const std::vector<cv::Mat>& pages, TPaperSize size) {
  QPdfWriter writer(QString::fromStdString(path));
  writer.setPageSize(QPageSize(size == TPaperSize::Letter ? QPageSize::Letter : QPageSize::A4));
  writer.setPageMargins(QMarginsF(0, 0, 0, 0));
  writer.setResolution(300);
  QPainter painter;
  if (!painter.begin(&writer)) return false;
  for (size_t i = 0; i < pages.size(); ++i) {
    if (i > 0) writer.newPage();
    const cv::Mat& m = pages[i];
    QImage image(m.data, m.cols, m.rows, static_cast<qsizetype>(m.step), QImage::Format_Grayscale8);
    const QRect target(0, 0, writer.width(), writer.height());
    painter.drawImage(target, image);
  }
  return painter.end();
}

}  // namespace proctorium::testkit
