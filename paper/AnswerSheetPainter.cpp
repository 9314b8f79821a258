#include "paper/AnswerSheetPainter.h"

#include <ZXing/BitMatrix.h>
#include <ZXing/MultiFormatWriter.h>

#include <QFont>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <cmath>

#include "paper/core/SheetCode.h"

namespace proctorium {

namespace {

// zxing's scale of error correction: 5 and 6 give level Q, which still reads
// with a quarter of the code lost to a crease or a stray pen stroke.
constexpr int kQrEccLevel = 5;

class TPageMap {
 public:
  TPageMap(const QPainter& painter, const TSheetLayout& layout) : Origin_(painter.viewport().topLeft()) {
    if (const auto* page = dynamic_cast<const QPagedPaintDevice*>(painter.device())) {
      // A printed page is a whole number of points wide in the PDF (595 for
      // A4): the layout's points are kept exact rather than stretched.
      Sx_ = Sy_ = page->logicalDpiX() / 72.0;
    } else {
      Sx_ = painter.viewport().width() / layout.Width;
      Sy_ = painter.viewport().height() / layout.Height;
    }
  }
  QRectF Rect(const TPaperRect& r) const {
    return {Origin_.x() + r.X * Sx_, Origin_.y() + r.Y * Sy_, r.W * Sx_, r.H * Sy_};
  }
  double Length(double points) const { return points * std::min(Sx_, Sy_); }

 private:
  QPointF Origin_;
  double Sx_ = 1, Sy_ = 1;
};

QFont SheetFont(const TPageMap& map, double points, bool bold = false) {
  QFont font(QStringLiteral("DejaVu Sans"));
  // Sizes in device pixels: the painter draws in device units, not points.
  font.setPixelSize(std::max(1, static_cast<int>(std::lround(map.Length(points)))));
  font.setBold(bold);
  font.setStyleStrategy(QFont::PreferNoShaping);
  return font;
}

bool PaintQr(QPainter& painter, const TPageMap& map, const TPaperRect& area, const std::string& code) {
  ZXing::BitMatrix matrix;
  try {
    matrix =
        ZXing::MultiFormatWriter(ZXing::BarcodeFormat::QRCode).setEccLevel(kQrEccLevel).setMargin(0).encode(code, 0, 0);
  } catch (const std::exception&) {
    return false;
  }
  if (matrix.width() <= 0 || matrix.width() != matrix.height()) return false;
  const QRectF target = map.Rect(area);
  const double module = target.width() / matrix.width();
  // Module edges on whole device units, and all modules one path: separate
  // smoothed squares leave light seams between them that break the finder
  // patterns for a reader.
  auto edgeX = [&](int i) { return std::round(target.x() + i * module); };
  auto edgeY = [&](int i) { return std::round(target.y() + i * module); };
  QPainterPath path;
  path.setFillRule(Qt::WindingFill);
  for (int y = 0; y < matrix.height(); ++y) {
    for (int x = 0; x < matrix.width();) {
      if (!matrix.get(x, y)) {
        ++x;
        continue;
      }
      int end = x;
      while (end < matrix.width() && matrix.get(end, y)) ++end;
      path.addRect(QRectF(QPointF(edgeX(x), edgeY(y)), QPointF(edgeX(end), edgeY(y + 1))));
      x = end;
    }
  }
  painter.fillPath(path, Qt::black);
  return true;
}

}  // namespace

bool PaintAnswerSheet(QPainter& painter, const TSheetLayout& layout, const std::string& code, const QString& heading) {
  if (layout.Width <= 0 || layout.Height <= 0) return false;
  painter.save();
  const TPageMap map(painter, layout);
  for (const TPaperRect& corner : layout.Corners) painter.fillRect(map.Rect(corner), Qt::black);
  const bool qr = PaintQr(painter, map, layout.Qr, code);

  QPen pen(Qt::black);
  pen.setWidthF(map.Length(SheetPenWidth));
  pen.setJoinStyle(Qt::MiterJoin);
  painter.setPen(pen);
  painter.setBrush(Qt::NoBrush);
  for (const auto& column : layout.IdBoxes)
    for (const TPaperRect& box : column) painter.drawRect(map.Rect(box));
  for (const TSheetRow& row : layout.Rows)
    for (const TPaperRect& box : row.Boxes) painter.drawRect(map.Rect(box));
  if (layout.NameLine.W > 0) {
    const QRectF line = map.Rect(layout.NameLine);
    painter.drawLine(line.bottomLeft(), line.bottomRight());
  }

  painter.setFont(SheetFont(map, 8, true));
  for (const TSheetRow& row : layout.Rows)
    painter.drawText(map.Rect(row.Label), Qt::AlignRight | Qt::AlignVCenter, QString::number(row.Position));
  for (const TSheetLabel& label : layout.Labels) {
    const bool caption = label.Text.size() > 1;
    const QRectF rect = map.Rect(label.Rect);
    const QString text = QString::fromStdString(label.Text);
    QFont font = SheetFont(map, caption ? 8 : 7, !caption);
    // Smaller rather than over the next thing: a font wider than expected
    // must not run into the QR code's quiet zone.
    const double width = QFontMetricsF(font, painter.device()).horizontalAdvance(text);
    if (width > rect.width() && width > 0)
      font.setPixelSize(std::max(1, static_cast<int>(font.pixelSize() * rect.width() / width)));
    painter.setFont(font);
    painter.drawText(rect, (caption ? Qt::AlignLeft : Qt::AlignHCenter) | Qt::AlignVCenter, text);
  }

  QString title = heading;
  if (title.isEmpty()) {
    if (const auto decoded = DecodeSheetCode(code))
      title = QStringLiteral("Version %1 \u00B7 Sheet %2 of %3")
                  .arg(QChar(decoded->Version))
                  .arg(decoded->Sheet)
                  .arg(decoded->SheetCount);
  }
  const QRectF titleRect = map.Rect(layout.Title);
  QFont titleFont = SheetFont(map, 11, true);
  // A long set name is shortened in the middle; the version and sheet at
  // the end must stay readable.
  painter.setFont(titleFont);
  title = QFontMetricsF(titleFont, painter.device()).elidedText(title, Qt::ElideMiddle, titleRect.width());
  painter.drawText(titleRect, Qt::AlignCenter | Qt::TextSingleLine, title);
  painter.restore();
  return qr;
}

QImage RenderAnswerSheet(const TSheetLayout& layout, const std::string& code, double dpi, const QString& heading) {
  const int w = static_cast<int>(std::lround(layout.Width * dpi / 72.0));
  const int h = static_cast<int>(std::lround(layout.Height * dpi / 72.0));
  QImage image(w, h, QImage::Format_Grayscale8);
  const int dotsPerMetre = static_cast<int>(std::lround(dpi / 0.0254));
  image.setDotsPerMeterX(dotsPerMetre);
  image.setDotsPerMeterY(dotsPerMetre);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  PaintAnswerSheet(painter, layout, code, heading);
  painter.end();
  return image;
}

}  // namespace proctorium
