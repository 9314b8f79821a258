#pragma once
// The platform style with a focus mark everyone can see: a 2-pixel frame
// round the control that has the focus, black or white, whichever stands
// out from the colour around it by at least 4.5:1, shown from the start
// (not only after the first Tab) on buttons, check boxes, radio buttons,
// tool buttons and combo boxes. Everything else is the platform's own.

#include <QProxyStyle>

namespace proctorium {

class TFocusStyle : public QProxyStyle {
 public:
  using QProxyStyle::QProxyStyle;

  // Puts the style on the application once; later calls do nothing.
  static void Install();

  void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                   const QWidget* widget = nullptr) const override;
  void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                          const QWidget* widget = nullptr) const override;
};

}  // namespace proctorium
