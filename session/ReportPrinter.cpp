#include "session/ReportPrinter.h"
#include "base/PdfBytes.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetrics>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

namespace proctorium {

bool PrintReports(QPagedPaintDevice* device, const std::vector<std::vector<TReportLine>>& reports) {
  QPainter p;
  if (!p.begin(device)) return false;
  const QRect page = p.viewport();
  const int dpi = device->logicalDpiY();
  const int gap = dpi / 12;
  const int indent = dpi / 2;
  QFont body(QStringLiteral("DejaVu Sans"), 11);
  // Ligatures would make copied or searched text differ from the report.
  body.setStyleStrategy(QFont::PreferNoShaping);
  QFont bold = body;
  bold.setBold(true);
  QFont heading = bold;
  heading.setPointSize(16);
  p.setPen(Qt::black);
  bool first = true;
  for (const std::vector<TReportLine>& report : reports) {
    if (!first) device->newPage();
    first = false;
    int y = 0;
    for (const TReportLine& line : report) {
      const QFont& font = line.Kind == TReportLine::Title                                           ? heading
                          : line.Kind == TReportLine::Heading || line.Kind == TReportLine::Question ? bold
                                                                                                    : body;
      const int left = line.Kind == TReportLine::Question ? indent : line.Kind == TReportLine::Detail ? 2 * indent : 0;
      const int above = line.Kind == TReportLine::Heading || line.Kind == TReportLine::Question ? gap : 0;
      const QString text = QString::fromStdString(line.Text);
      const QRect r =
          QFontMetrics(font, device).boundingRect(QRect(left, 0, page.width() - left, 100000), Qt::TextWordWrap, text);
      // A line that does not fit goes on the next page; a question's details
      // may follow it there, which reads better than cutting a line.
      if (y > 0 && y + above + r.height() > page.height()) {
        device->newPage();
        y = 0;
      }
      y += above;
      p.setFont(font);
      p.drawText(QRect(left, y, page.width() - left, r.height()), Qt::TextWordWrap, text);
      y += r.height() + (line.Kind == TReportLine::Title ? 2 * gap : gap / 2);
    }
  }
  return p.end();
}

std::string ReportsPdf(const std::vector<std::vector<TReportLine>>& reports, const std::string& title) {
  return PdfBytes(title, [&](QPagedPaintDevice* pdf) { return PrintReports(pdf, reports); });
}

}  // namespace proctorium
