#pragma once
// The bytes of a PDF made in memory, so that the caller writes them through
// the program's safe file writing (a temporary file renamed when complete).

#include <QPageSize>
#include <QPagedPaintDevice>
#include <functional>
#include <string>

namespace proctorium {

// A document with 20 mm margins at 300 dpi (A4 unless told otherwise),
// drawn by draw; empty when draw reports failure.
std::string PdfBytes(const std::string& title, const std::function<bool(QPagedPaintDevice*)>& draw,
                     QPageSize::PageSizeId page = QPageSize::A4);

}  // namespace proctorium
