#include "session/LogViewAccessible.h"

#include <algorithm>

#include "session/LogView.h"

namespace proctorium {

TLogViewAccessible::TLogViewAccessible(TLogView* view) : QAccessibleWidget(view, QAccessible::EditableText) {}

QAccessibleInterface* TLogViewAccessible::Factory(const QString& /*className*/, QObject* object) {
  if (auto* view = qobject_cast<TLogView*>(object)) return new TLogViewAccessible(view);
  return nullptr;
}

TLogView* TLogViewAccessible::View() const { return static_cast<TLogView*>(widget()); }

void* TLogViewAccessible::interface_cast(QAccessible::InterfaceType type) {
  if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
  return QAccessibleWidget::interface_cast(type);
}

QAccessible::State TLogViewAccessible::state() const {
  QAccessible::State s = QAccessibleWidget::state();
  s.readOnly = true;
  s.multiLine = true;
  s.selectableText = true;
  return s;
}

QString TLogViewAccessible::text(QAccessible::Text t) const {
  if (t == QAccessible::Value) return Whole();
  return QAccessibleWidget::text(t);
}

QString TLogViewAccessible::Whole() const { return View()->Lines().join(QLatin1Char('\n')); }

int TLogViewAccessible::LineStart(int line) const {
  int offset = 0;
  for (int i = 0; i < std::min(line, View()->LineCount()); ++i) offset += static_cast<int>(View()->Line(i).size()) + 1;
  return offset;
}

int TLogViewAccessible::LineOf(int offset) const {
  int start = 0;
  for (int i = 0; i < View()->LineCount(); ++i) {
    start += static_cast<int>(View()->Line(i).size()) + 1;
    if (offset < start) return i;
  }
  return std::max(0, View()->LineCount() - 1);
}

void TLogViewAccessible::selection(int selectionIndex, int* startOffset, int* endOffset) const {
  *startOffset = *endOffset = 0;
  if (selectionIndex != 0 || View()->CurrentLine() < 0) return;
  const auto [first, last] = View()->SelectedRange();
  *startOffset = LineStart(first);
  *endOffset = LineStart(last) + static_cast<int>(View()->Line(last).size());
}

int TLogViewAccessible::selectionCount() const { return View()->CurrentLine() < 0 ? 0 : 1; }

void TLogViewAccessible::addSelection(int startOffset, int endOffset) { setSelection(0, startOffset, endOffset); }

void TLogViewAccessible::removeSelection(int /*selectionIndex*/) { View()->SelectLines(-1, -1); }

void TLogViewAccessible::setSelection(int /*selectionIndex*/, int startOffset, int endOffset) {
  // Lines are selected whole, as with the mouse.
  View()->SelectLines(LineOf(startOffset), LineOf(std::max(startOffset, endOffset - 1)));
}

int TLogViewAccessible::cursorPosition() const { return LineStart(std::max(0, View()->CurrentLine())); }

void TLogViewAccessible::setCursorPosition(int position) { View()->GoToLine(LineOf(position)); }

QString TLogViewAccessible::text(int startOffset, int endOffset) const {
  return Whole().mid(startOffset, std::max(0, endOffset - startOffset));
}

int TLogViewAccessible::characterCount() const { return std::max(0, LineStart(View()->LineCount()) - 1); }

QRect TLogViewAccessible::characterRect(int offset) const {
  const QRect line = View()->LineRect(LineOf(offset));
  if (line.isEmpty()) return {};
  return QRect(View()->viewport()->mapToGlobal(line.topLeft()), line.size());
}

int TLogViewAccessible::offsetAtPoint(const QPoint& point) const {
  const QPoint local = View()->viewport()->mapFromGlobal(point);
  if (!View()->viewport()->rect().contains(local)) return -1;
  return LineStart(View()->LineAtPoint(local.y()));
}

void TLogViewAccessible::scrollToSubstring(int startIndex, int /*endIndex*/) { View()->GoToLine(LineOf(startIndex)); }

QString TLogViewAccessible::attributes(int offset, int* startOffset, int* endOffset) const {
  *startOffset = *endOffset = offset;
  return {};
}

}  // namespace proctorium
