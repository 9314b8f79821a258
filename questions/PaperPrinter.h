#pragma once
// Draws a question paper or an answer key on a printer or a PDF writer.

#include <QImage>
#include <QPagedPaintDevice>
#include <QPen>
#include <functional>
#include <string>

#include "questions/core/PrintSheet.h"

namespace proctorium {

// The width of every box and rule on paper, in points: thick enough to stay
// black when printed at 200 dpi and photocopied.
constexpr double BoxPenPoints = 0.8;
// A solid black pen of BoxPenPoints on device.
QPen BoxPen(const QPaintDevice* device);

// exhibit: the picture an exhibit name stands for (a null image if none).
// describe: the picture's description in words (UTF-8), printed under it on
// the question paper and the key, so the paper read aloud or enlarged loses
// nothing; empty for none.
// Each picture file is asked for once per sheet and embedded once, however
// many questions show it.
// Black text on white, so the sheet reads the same without colour.
// False when nothing could be drawn on the device.
bool PrintSheet(QPagedPaintDevice* device, const TQuestionSet& set, TSheetKind kind, const std::string& title,
                const std::function<QImage(const std::string& storedName)>& exhibit,
                const std::function<std::string(const std::string& storedName)>& describe = {});

}  // namespace proctorium
