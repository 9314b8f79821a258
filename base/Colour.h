#pragma once
// Colour values as the options file stores them: red in the low byte, then
// green and blue; a set high bit marks a system colour whose low byte is
// the Windows system colour index.

#include <QColor>
#include <cstdint>

namespace proctorium {

QColor ColourToQColor(std::uint32_t colour);
std::uint32_t QColorToColour(const QColor& colour);

}  // namespace proctorium
