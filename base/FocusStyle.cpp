#include "base/FocusStyle.h"

#include <QApplication>
#include <QPainter>
#include <QStyleOption>

#include "base/core/Contrast.h"

namespace proctorium {

namespace {

void DrawFocusMark(const QStyleOption* option, QPainter* painter) {
  if (!(option->state & QStyle::State_HasFocus)) return;
  const QColor around = option->palette.color(QPalette::Window);
  const TRgb mark = ReadableText({around.red(), around.green(), around.blue()}, {0, 0, 0});
  painter->save();
  painter->setRenderHint(QPainter::Antialiasing, false);
  painter->setPen(QPen(QColor(mark.R, mark.G, mark.B), 2));
  painter->setBrush(Qt::NoBrush);
  painter->drawRect(QRectF(option->rect).adjusted(1, 1, -1, -1));
  painter->restore();
}

}  // namespace

void TFocusStyle::Install() {
  if (dynamic_cast<TFocusStyle*>(QApplication::style())) return;
  QApplication::setStyle(new TFocusStyle(QApplication::style()->name()));
}

void TFocusStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                              const QWidget* widget) const {
  QProxyStyle::drawControl(element, option, painter, widget);
  if (element == CE_PushButton || element == CE_CheckBox || element == CE_RadioButton) DrawFocusMark(option, painter);
}

void TFocusStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                                     const QWidget* widget) const {
  QProxyStyle::drawComplexControl(control, option, painter, widget);
  if (control == CC_ToolButton || control == CC_ComboBox) DrawFocusMark(option, painter);
}

}  // namespace proctorium
