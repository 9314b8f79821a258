#pragma once
// What a screen reader gets from the results log: the log as read-only,
// many-line text, read line by line through the text interface, with the
// keyboard's current line as the caret. The view paints only the lines in
// sight; the text is put together only when assistive technology asks.

#include <QAccessibleWidget>

namespace proctorium {

class TLogView;

class TLogViewAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
 public:
  explicit TLogViewAccessible(TLogView* view);

  // The factory Qt asks for every object; answers for log views only.
  static QAccessibleInterface* Factory(const QString& className, QObject* object);

  void* interface_cast(QAccessible::InterfaceType type) override;
  QAccessible::State state() const override;
  using QAccessibleWidget::text;
  QString text(QAccessible::Text t) const override;

  void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
  int selectionCount() const override;
  void addSelection(int startOffset, int endOffset) override;
  void removeSelection(int selectionIndex) override;
  void setSelection(int selectionIndex, int startOffset, int endOffset) override;
  int cursorPosition() const override;
  void setCursorPosition(int position) override;
  QString text(int startOffset, int endOffset) const override;
  int characterCount() const override;
  QRect characterRect(int offset) const override;
  int offsetAtPoint(const QPoint& point) const override;
  void scrollToSubstring(int startIndex, int endIndex) override;
  QString attributes(int offset, int* startOffset, int* endOffset) const override;

 private:
  TLogView* View() const;
  QString Whole() const;
  // Offset of the first character of line (LineCount() for the end).
  int LineStart(int line) const;
  // The line holding offset.
  int LineOf(int offset) const;
};

}  // namespace proctorium
