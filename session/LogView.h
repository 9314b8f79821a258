#pragma once
// A read-only view of a long log: it keeps the log's bytes as read and
// converts and paints only the lines in sight, so opening a log of hundreds
// of thousands of lines costs no more than indexing its line breaks.
// Lines are selected whole (click, Shift+click, drag, Shift+arrows,
// Ctrl+A) and copied with Ctrl+C or the context menu.

#include <QAbstractScrollArea>
#include <QString>
#include <QStringList>
#include <string>
#include <string_view>
#include <utility>

#include "session/core/LogLines.h"

namespace proctorium {

class TLogView : public QAbstractScrollArea {
  Q_OBJECT
 public:
  explicit TLogView(QWidget* parent = nullptr);

  // Replaces the text (Windows-1252 bytes), with nothing selected and the
  // last line in sight.
  void SetText(std::string bytes);
  // Adds a line after the last; a view that showed the last line goes on
  // showing it.
  void AppendLine(std::string_view line);
  void Clear();

  int LineCount() const { return static_cast<int>(Lines_.Count()); }
  QString Line(int i) const;
  QStringList Lines() const;

  // Selects the lines from anchor to current (either order), current being
  // the line the keyboard moves from; -1 selects nothing.
  void SelectLines(int anchor, int current);
  void SelectAll() { SelectLines(0, LineCount() - 1); }
  // The selected lines, joined by line breaks; empty with nothing selected.
  QString SelectedText() const;
  void Copy() const;

  // The line the keyboard moves from (-1: none) and the selected lines,
  // first and last.
  int CurrentLine() const { return Current_; }
  std::pair<int, int> SelectedRange() const;
  // Selects line alone and scrolls it into sight.
  void GoToLine(int line) { MoveTo(line, false); }
  // Where line is painted in the viewport; empty when out of sight.
  QRect LineRect(int line) const;
  int LineAtPoint(int y) const { return LineAt(y); }

  int FirstVisibleLine() const;
  // Lines that fit in the view whole (at least one).
  int VisibleLines() const;

 protected:
  bool event(QEvent* e) override;
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void changeEvent(QEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void contextMenuEvent(QContextMenuEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;

 private:
  int LineHeight() const;
  int LineAt(int y) const;
  void MoveTo(int line, bool extend);
  void EnsureVisible(int line);
  void MeasureLongest();
  void UpdateScrollBars();

  TLogLines Lines_;
  int Anchor_ = -1;
  int Current_ = -1;
  int Widest_ = 0;  // pixels: the longest line measured, widened by any wider line painted
  bool FollowEnd_ = true;
  bool Updating_ = false;
};

}  // namespace proctorium
