#pragma once
// A read-only view of a long log: it keeps the log's bytes as read and
// converts and paints only the lines in sight, so opening a log of hundreds
// of thousands of lines costs no more than indexing its line breaks.
// Lines are selected whole (click, Shift+click, drag, Shift+arrows,
// Ctrl+A) and copied with Ctrl+C or the context menu.
//
// A log read by a TLogReader shows its end at once; the part before it is
// read by a worker thread once the view has been painted, and put in front
// on the view's own thread without moving what is in sight. Whatever needs
// the whole log (Home, Ctrl+A, scrolling to the top) waits for the rest.

#include <QAbstractScrollArea>
#include <QString>
#include <QStringList>
#include <atomic>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <utility>

#include "session/core/LogLines.h"
#include "session/core/LogReader.h"

namespace proctorium {

class TLogView : public QAbstractScrollArea {
  Q_OBJECT
 public:
  explicit TLogView(QWidget* parent = nullptr);
  ~TLogView() override;

  // Replaces the text (Windows-1252 bytes), with nothing selected and the
  // last line in sight.
  void SetText(std::string bytes);
  // Adds a line after the last; a view that showed the last line goes on
  // showing it.
  void AppendLine(std::string_view line);
  void Clear();
  // Shows the log reader has opened, with nothing selected and the last
  // line in sight; a null reader shows nothing.
  void SetReader(std::unique_ptr<TLogReader> reader);
  // Whether the beginning of the log is still being read.
  bool Loading() const { return Reader_ != nullptr; }
  // Waits for the rest of the log and puts it in front.
  void FinishLoading();

  // The lines read so far (all of them once Loading() is false).
  int LineCount() const { return static_cast<int>(Lines_.Count()); }
  QString Line(int i) const;
  // Every line of the log, read to its beginning first.
  QStringList Lines();

  // Selects the lines from anchor to current (either order), current being
  // the line the keyboard moves from; -1 selects nothing.
  void SelectLines(int anchor, int current);
  void SelectAll();
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

 signals:
  // The log was emptied or replaced while its beginning was being read:
  // the view no longer matches it and its owner reads it anew.
  void logChanged();

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
  void StartReading();
  void StopReading();
  void HandOver();

  TLogLines Lines_;
  // While Worker_ runs, Reader_ is the worker's alone; the view touches it
  // again only after joining it.
  std::unique_ptr<TLogReader> Reader_;
  std::thread Worker_;
  std::atomic<bool> Stop_{false};
  unsigned Generation_ = 0;  // tells a hand-over from a reader since replaced
  int Anchor_ = -1;
  int Current_ = -1;
  int Widest_ = 0;  // pixels: the longest line measured, widened by any wider line painted
  bool FollowEnd_ = true;
  bool Updating_ = false;
};

}  // namespace proctorium
