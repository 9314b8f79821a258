#include "base/Colour.h"

#include <QApplication>
#include <QPalette>

namespace proctorium {

namespace {

// Windows system colour indices mapped onto this platform's palette.
QColor SystemColour(unsigned index) {
  const QPalette pal = QApplication::palette();
  switch (index) {
    case 1:   // desktop
    case 2:   // active caption
    case 13:  // highlight
    case 26:  // hot light
    case 27:  // gradient active caption
    case 29:  // menu highlight
      return pal.color(QPalette::Highlight);
    case 14:  // highlight text
      return pal.color(QPalette::HighlightedText);
    case 5:  // window
      return pal.color(QPalette::Base);
    case 23:  // info text
      return pal.color(QPalette::ToolTipText);
    case 24:  // info background
      return pal.color(QPalette::ToolTipBase);
    case 6:   // window frame
    case 16:  // button shadow
    case 21:  // 3D dark shadow
      return pal.color(QPalette::Dark);
    case 7:   // menu text
    case 8:   // window text
    case 9:   // caption text
    case 18:  // button text
      return pal.color(QPalette::WindowText);
    case 17:  // grey text
    case 19:  // inactive caption text
      return pal.color(QPalette::Disabled, QPalette::WindowText);
    case 20:  // button highlight
    case 22:  // 3D light
      return pal.color(QPalette::Light);
    case 12:  // application workspace
      return pal.color(QPalette::Mid);
    default:  // button face, menu, scroll bar and the rest
      return pal.color(QPalette::Button);
  }
}

}  // namespace

QColor ColourToQColor(std::uint32_t colour) {
  if (colour & 0x80000000u) return SystemColour(colour & 0xFFu);
  return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                static_cast<int>((colour >> 16) & 0xFF));
}

std::uint32_t QColorToColour(const QColor& c) {
  return static_cast<std::uint32_t>(c.red()) | (static_cast<std::uint32_t>(c.green()) << 8) |
         (static_cast<std::uint32_t>(c.blue()) << 16);
}

}  // namespace proctorium
