#pragma once
// Draws an answer sheet from its layout: the printed page and the synthetic
// scans are drawn by the same code, so a reader tested on the one reads the
// other.

#include <QImage>
#include <QString>
#include <string>

#include "paper/core/SheetLayout.h"

class QPainter;

namespace proctorium {

// Thinnest line a photocopier keeps black, in points.
inline constexpr double SheetPenWidth = 0.8;

// Draws the sheet onto the painter's device: on a printer or PDF page (set
// without margins) at its true size in points, on any other device (an
// image of the page) filling the painter's viewport.
// code is the text of the sheet's QR code (EncodeSheetCode); heading goes
// between the top corner marks, and when empty the version and sheet
// number are taken from the code. False when the code could not be encoded.
bool PaintAnswerSheet(QPainter& painter, const TSheetLayout& layout, const std::string& code,
                      const QString& heading = {});

// The sheet as a white page at dpi dots per inch, in greys.
QImage RenderAnswerSheet(const TSheetLayout& layout, const std::string& code, double dpi, const QString& heading = {});

}  // namespace proctorium
