#include "session/LogView.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <utility>

#include "base/AnsiText.h"
#include "base/core/Contrast.h"
#include "session/LogViewAccessible.h"

namespace proctorium {

namespace {

// Pixels left of and above the text, as an edit control leaves them.
constexpr int Margin = 4;
constexpr int Top = 2;

TRgb Rgb(const QColor& c) { return {c.red(), c.green(), c.blue()}; }
QColor ToQColor(const TRgb& c) { return QColor(c.R, c.G, c.B); }

bool IsCopyOrSelectAll(const QKeyEvent* k) {
  return k->matches(QKeySequence::Copy) || k->matches(QKeySequence::SelectAll);
}

}  // namespace

TLogView::TLogView(QWidget* parent) : QAbstractScrollArea(parent) {
  // A screen reader reads the log as text, line by line.
  static const bool factoryInstalled = [] {
    QAccessible::installFactory(&TLogViewAccessible::Factory);
    return true;
  }();
  (void)factoryInstalled;
  setFocusPolicy(Qt::StrongFocus);
  viewport()->setBackgroundRole(QPalette::Base);
  viewport()->setAutoFillBackground(true);
  viewport()->setCursor(Qt::IBeamCursor);
  connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
    if (Updating_) return;
    FollowEnd_ = value == verticalScrollBar()->maximum();
    // The top of what has been read is not the top of the log.
    if (value == 0 && Reader_) FinishLoading();
  });
}

TLogView::~TLogView() { StopReading(); }

void TLogView::SetText(std::string bytes) {
  StopReading();
  Reader_.reset();
  Lines_.Assign(std::move(bytes));
  Anchor_ = Current_ = -1;
  FollowEnd_ = true;
  MeasureLongest();
  UpdateScrollBars();
  horizontalScrollBar()->setValue(0);
  viewport()->update();
}

void TLogView::AppendLine(std::string_view line) {
  Lines_.Append(line);
  const int width = fontMetrics().horizontalAdvance(FromAnsi(std::string(line)));
  Widest_ = std::max(Widest_, width);
  UpdateScrollBars();
  viewport()->update();
}

void TLogView::Clear() { SetText({}); }

void TLogView::SetReader(std::unique_ptr<TLogReader> reader) {
  SetText(reader ? reader->TakeTail() : std::string());
  // Reading starts once the end has been painted (paintEvent), so the
  // window is on screen first.
  if (reader && !reader->Done()) Reader_ = std::move(reader);
}

void TLogView::StartReading() {
  if (!Reader_ || Worker_.joinable()) return;
  Stop_ = false;
  const unsigned generation = ++Generation_;
  Worker_ = std::thread([this, generation, reader = Reader_.get()] {
    // Pieces of a few megabytes, so that stopping never waits long.
    while (!Stop_ && !reader->Done()) reader->ReadMore(std::size_t(4) << 20);
    if (Stop_) return;
    QMetaObject::invokeMethod(
        this,
        [this, generation] {
          if (generation == Generation_ && Reader_) HandOver();
        },
        Qt::QueuedConnection);
  });
}

void TLogView::StopReading() {
  if (!Worker_.joinable()) return;
  Stop_ = true;
  Worker_.join();
  ++Generation_;
}

void TLogView::FinishLoading() {
  if (!Reader_) return;
  if (Worker_.joinable()) {
    Worker_.join();  // not stopped: it finishes what it reads
    ++Generation_;
  }
  while (!Reader_->Done()) Reader_->ReadMore(std::size_t(64) << 20);
  HandOver();
}

void TLogView::HandOver() {
  if (Worker_.joinable()) {
    Worker_.join();
    ++Generation_;
  }
  const std::unique_ptr<TLogReader> reader = std::move(Reader_);
  if (reader->Changed()) {
    emit logChanged();
    return;
  }
  TLogLines head = reader->TakeHead();
  const int moved = static_cast<int>(head.Count());
  Lines_.Prepend(std::move(head));
  // Line numbers move down by what came in front; the selection and the
  // lines in sight stay the same lines.
  if (Current_ >= 0) {
    Anchor_ += moved;
    Current_ += moved;
  }
  const int first = FirstVisibleLine();
  MeasureLongest();
  UpdateScrollBars();
  if (!FollowEnd_) {
    Updating_ = true;
    verticalScrollBar()->setValue(first + moved);
    Updating_ = false;
  }
  viewport()->update();
}

void TLogView::SelectAll() {
  FinishLoading();
  SelectLines(0, LineCount() - 1);
}

QString TLogView::Line(int i) const { return FromAnsi(std::string(Lines_.Line(static_cast<std::size_t>(i)))); }

QStringList TLogView::Lines() {
  FinishLoading();
  QStringList lines;
  lines.reserve(LineCount());
  for (int i = 0; i < LineCount(); ++i) lines << Line(i);
  return lines;
}

void TLogView::SelectLines(int anchor, int current) {
  const int last = LineCount() - 1;
  if (anchor < 0 || current < 0 || last < 0) {
    Anchor_ = Current_ = -1;
  } else {
    Anchor_ = std::min(anchor, last);
    Current_ = std::min(current, last);
  }
  viewport()->update();
  if (Current_ >= 0 && QAccessible::isActive()) {
    // The reader follows the keyboard: the current line is the caret.
    int offset = 0;
    for (int i = 0; i < Current_; ++i) offset += static_cast<int>(Line(i).size()) + 1;
    QAccessibleTextCursorEvent moved(this, offset);
    QAccessible::updateAccessibility(&moved);
  }
}

std::pair<int, int> TLogView::SelectedRange() const {
  if (Current_ < 0) return {-1, -1};
  return {std::min(Anchor_, Current_), std::max(Anchor_, Current_)};
}

QRect TLogView::LineRect(int line) const {
  const int first = FirstVisibleLine();
  if (line < first || line >= first + VisibleLines() || line >= LineCount()) return {};
  return QRect(0, Top + (line - first) * LineHeight(), viewport()->width(), LineHeight());
}

QString TLogView::SelectedText() const {
  if (Current_ < 0) return {};
  const int first = std::min(Anchor_, Current_), last = std::max(Anchor_, Current_);
  std::string bytes;
  for (int i = first; i <= last; ++i) {
    if (i > first) bytes += '\n';
    bytes.append(Lines_.Line(static_cast<std::size_t>(i)));
  }
  return FromAnsi(bytes);
}

void TLogView::Copy() const {
  if (Current_ >= 0) QApplication::clipboard()->setText(SelectedText());
}

int TLogView::LineHeight() const { return std::max(1, fontMetrics().lineSpacing()); }

int TLogView::FirstVisibleLine() const { return verticalScrollBar()->value(); }

int TLogView::VisibleLines() const { return std::max(1, (viewport()->height() - Top) / LineHeight()); }

int TLogView::LineAt(int y) const {
  const int line = FirstVisibleLine() + (y < Top ? -1 : (y - Top) / LineHeight());
  return std::clamp(line, 0, std::max(0, LineCount() - 1));
}

void TLogView::MeasureLongest() {
  Widest_ = Lines_.Empty() ? 0 : fontMetrics().horizontalAdvance(Line(static_cast<int>(Lines_.LongestLine())));
}

void TLogView::UpdateScrollBars() {
  Updating_ = true;
  QScrollBar* v = verticalScrollBar();
  const int page = VisibleLines();
  v->setRange(0, std::max(0, LineCount() - page));
  v->setPageStep(page);
  v->setSingleStep(1);
  if (FollowEnd_) v->setValue(v->maximum());
  QScrollBar* h = horizontalScrollBar();
  const int width = viewport()->width();
  h->setRange(0, std::max(0, Widest_ + 2 * Margin - width));
  h->setPageStep(width);
  h->setSingleStep(std::max(1, fontMetrics().averageCharWidth() * 2));
  Updating_ = false;
}

void TLogView::EnsureVisible(int line) {
  QScrollBar* v = verticalScrollBar();
  if (line < v->value())
    v->setValue(line);
  else if (line >= v->value() + VisibleLines())
    v->setValue(line - VisibleLines() + 1);
}

void TLogView::MoveTo(int line, bool extend) {
  if (LineCount() == 0) return;
  line = std::clamp(line, 0, LineCount() - 1);
  SelectLines(extend && Anchor_ >= 0 ? Anchor_ : line, line);
  EnsureVisible(line);
}

bool TLogView::event(QEvent* e) {
  // Copy and select all belong to the view while it has the focus, before
  // any shortcut of the window.
  if (e->type() == QEvent::ShortcutOverride && IsCopyOrSelectAll(static_cast<QKeyEvent*>(e))) {
    e->accept();
    return true;
  }
  return QAbstractScrollArea::event(e);
}

void TLogView::paintEvent(QPaintEvent* /*e*/) {
  QPainter p(viewport());
  // The palette may come from any colour scheme; text keeps the contrast
  // it needs on whatever background the scheme gives. The selection keeps
  // its colours when the view loses the focus, so it stays visible.
  const QColor base = palette().color(QPalette::Active, QPalette::Base);
  const QColor highlight = palette().color(QPalette::Active, QPalette::Highlight);
  const QColor text = ToQColor(ReadableText(Rgb(base), Rgb(palette().color(QPalette::Active, QPalette::Text))));
  const QColor selectedText =
      ToQColor(ReadableText(Rgb(highlight), Rgb(palette().color(QPalette::Active, QPalette::HighlightedText))));
  const QFontMetrics fm = fontMetrics();
  const int height = LineHeight();
  const int width = viewport()->width();
  const int x = Margin - horizontalScrollBar()->value();
  const int first = FirstVisibleLine();
  const int last = std::min(LineCount() - 1, first + (viewport()->height() - Top) / height);
  const int selFirst = std::min(Anchor_, Current_), selLast = std::max(Anchor_, Current_);
  int widest = Widest_;
  for (int i = first; i <= last; ++i) {
    const int y = Top + (i - first) * height;
    const bool selected = Current_ >= 0 && i >= selFirst && i <= selLast;
    if (selected) p.fillRect(0, y, width, height, highlight);
    p.setPen(selected ? selectedText : text);
    const QString line = Line(i);
    p.drawText(x, y + fm.ascent(), line);
    widest = std::max(widest, fm.horizontalAdvance(line));
    if (i == Current_ && hasFocus()) {
      p.setPen(QPen(selected ? selectedText : text, 1, Qt::DotLine));
      p.drawRect(0, y, width - 1, height - 1);
    }
  }
  // The focus shows even with no line current: a frame in the text colour,
  // which keeps the text's contrast with the background.
  if (hasFocus()) {
    p.setPen(QPen(text, 2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(viewport()->rect().adjusted(1, 1, -1, -1));
  }
  // The range was sized by the line with the most characters; a line that
  // is wider in pixels widens it once it comes into sight.
  if (widest > Widest_) {
    Widest_ = widest;
    UpdateScrollBars();
  }
  if (Reader_ && !Worker_.joinable()) StartReading();
}

void TLogView::resizeEvent(QResizeEvent* e) {
  QAbstractScrollArea::resizeEvent(e);
  UpdateScrollBars();
}

void TLogView::changeEvent(QEvent* e) {
  QAbstractScrollArea::changeEvent(e);
  if (e->type() == QEvent::FontChange) {
    MeasureLongest();
    UpdateScrollBars();
    viewport()->update();
  }
}

void TLogView::keyPressEvent(QKeyEvent* e) {
  if (e->matches(QKeySequence::Copy)) return Copy();
  if (e->matches(QKeySequence::SelectAll)) return SelectAll();
  const bool extend = e->modifiers().testFlag(Qt::ShiftModifier);
  const int from = Current_ >= 0 ? Current_ : FirstVisibleLine() - 1;
  switch (e->key()) {
    case Qt::Key_Up:
      // With nothing selected the first arrow picks a line in sight: Up
      // the lowest, Down the highest, so neither jumps away from the view.
      return MoveTo(Current_ >= 0 ? Current_ - 1 : FirstVisibleLine() + VisibleLines() - 1, extend);
    case Qt::Key_Down:
      return MoveTo(from + 1, extend);
    case Qt::Key_PageUp:
      return MoveTo((Current_ >= 0 ? Current_ : FirstVisibleLine()) - VisibleLines(), extend);
    case Qt::Key_PageDown:
      return MoveTo(std::max(from, FirstVisibleLine()) + VisibleLines(), extend);
    case Qt::Key_Home:
      FinishLoading();
      return MoveTo(0, extend);
    case Qt::Key_End:
      return MoveTo(LineCount() - 1, extend);
    case Qt::Key_Left:
      return horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
    case Qt::Key_Right:
      return horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    default:
      QAbstractScrollArea::keyPressEvent(e);
  }
}

void TLogView::mousePressEvent(QMouseEvent* e) {
  if (LineCount() == 0) return;
  const int line = LineAt(e->position().toPoint().y());
  if (e->button() == Qt::LeftButton)
    MoveTo(line, e->modifiers().testFlag(Qt::ShiftModifier));
  else if (e->button() == Qt::RightButton &&
           (Current_ < 0 || line < std::min(Anchor_, Current_) || line > std::max(Anchor_, Current_)))
    MoveTo(line, false);  // the context menu acts on the line clicked unless it is in the selection
}

void TLogView::mouseMoveEvent(QMouseEvent* e) {
  if (e->buttons().testFlag(Qt::LeftButton) && Current_ >= 0) MoveTo(LineAt(e->position().toPoint().y()), true);
}

void TLogView::mouseReleaseEvent(QMouseEvent* e) { e->accept(); }

void TLogView::contextMenuEvent(QContextMenuEvent* e) {
  QMenu menu(this);
  QAction* copy = menu.addAction(QStringLiteral("&Copy"), this, &TLogView::Copy);
  copy->setShortcut(QKeySequence::Copy);
  copy->setEnabled(Current_ >= 0);
  QAction* all = menu.addAction(QStringLiteral("Select &All"), this, &TLogView::SelectAll);
  all->setShortcut(QKeySequence::SelectAll);
  all->setEnabled(LineCount() > 0);
  menu.exec(e->globalPos());
}

void TLogView::focusInEvent(QFocusEvent* e) {
  QAbstractScrollArea::focusInEvent(e);
  viewport()->update();
}

void TLogView::focusOutEvent(QFocusEvent* e) {
  QAbstractScrollArea::focusOutEvent(e);
  viewport()->update();
}

}  // namespace proctorium
