#include "base/PdfBytes.h"

#include <QBuffer>
#include <QPageSize>
#include <QPdfWriter>

namespace proctorium {

std::string PdfBytes(const std::string& title, const std::function<bool(QPagedPaintDevice*)>& draw,
                     QPageSize::PageSizeId page) {
  QByteArray out;
  QBuffer buffer(&out);
  buffer.open(QIODevice::WriteOnly);
  {
    QPdfWriter pdf(&buffer);
    pdf.setPageSize(QPageSize(page));
    pdf.setPageMargins(QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter);
    pdf.setResolution(300);
    pdf.setTitle(QString::fromStdString(title));
    pdf.setCreator(QStringLiteral("Proctorium"));
    if (!draw(&pdf)) return {};
  }
  return std::string(out.constData(), static_cast<size_t>(out.size()));
}

}  // namespace proctorium
