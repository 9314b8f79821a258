#include "paper/ScanPageView.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace proctorium {

namespace {

// Colours that stay apart for the common kinds of colour blindness; the
// shapes tell the states apart even in grey.
const QColor MarkedColour(0, 90, 181);    // blue, filled
const QColor EmptyColour(110, 110, 110);  // grey, plain outline
const QColor DoubtColour(230, 130, 0);    // orange, hatched, dashed outline

QString StateText(TBoxMark mark) {
  switch (mark) {
    case TBoxMark::Marked:
      return QStringLiteral("marked");
    case TBoxMark::Doubtful:
      return QStringLiteral("doubtful");
    case TBoxMark::Empty:
      break;
  }
  return QStringLiteral("empty");
}

}  // namespace

TScanPageView::TScanPageView(QWidget* parent) : QWidget(parent) {
  setFocusPolicy(Qt::StrongFocus);
  setMinimumSize(200, 280);
  setAccessibleName(QStringLiteral("Scanned page"));
  setToolTip(QStringLiteral("Click a box, or move with the arrow keys and press Space, to mark or clear it"));
}

void TScanPageView::SetPage(TPageReading* reading, const TSheetLayout* layout, QImage scan) {
  Reading_ = reading;
  Layout_ = layout;
  Scan_ = std::move(scan);
  Row_ = Box_ = 0;
  // The first doubtful box is where the teacher is needed.
  if (Reading_ && Layout_)
    for (std::size_t r = 0; r < Reading_->Answers.size(); ++r) {
      const auto& row = Reading_->Answers[r];
      const auto at = std::find(row.begin(), row.end(), TBoxMark::Doubtful);
      if (at != row.end()) {
        Row_ = static_cast<int>(r);
        Box_ = static_cast<int>(at - row.begin());
        break;
      }
    }
  Describe();
  update();
}

int TScanPageView::BoxesInRow(int row) const {
  if (!Reading_ || !Layout_ || row < 0 || row >= static_cast<int>(Layout_->Rows.size()) ||
      row >= static_cast<int>(Reading_->Answers.size()))
    return 0;
  return static_cast<int>(std::min(Layout_->Rows[static_cast<std::size_t>(row)].Boxes.size(),
                                   Reading_->Answers[static_cast<std::size_t>(row)].size()));
}

void TScanPageView::SetCurrent(int row, int box) {
  if (!Reading_ || !Layout_) return;
  const int rows = static_cast<int>(std::min(Layout_->Rows.size(), Reading_->Answers.size()));
  if (rows == 0) return;
  Row_ = std::clamp(row, 0, rows - 1);
  Box_ = std::clamp(box, 0, std::max(0, BoxesInRow(Row_) - 1));
  Describe();
  update();
  emit CurrentMoved();
}

void TScanPageView::CycleCurrent() {
  if (BoxesInRow(Row_) == 0) return;
  TBoxMark& mark = Reading_->Answers[static_cast<std::size_t>(Row_)][static_cast<std::size_t>(Box_)];
  mark = mark == TBoxMark::Marked ? TBoxMark::Empty : TBoxMark::Marked;
  Describe();
  update();
  emit BoxChanged();
}

QString TScanPageView::CurrentText() const {
  if (BoxesInRow(Row_) == 0) return {};
  const int position = Layout_->Rows[static_cast<std::size_t>(Row_)].Position;
  return QStringLiteral("Question %1, box %2: %3")
      .arg(position)
      .arg(QChar('A' + Box_))
      .arg(StateText(Reading_->Answers[static_cast<std::size_t>(Row_)][static_cast<std::size_t>(Box_)]));
}

void TScanPageView::Describe() { setAccessibleDescription(CurrentText()); }

QSizeF TScanPageView::ScanSize() const {
  if (!Scan_.isNull()) return Scan_.size();
  // No scan to show: the sheet's own outline, where the reader mapped it.
  if (Layout_ && Reading_) {
    const auto& h = Reading_->PageToImage;
    const double w = h[8] != 0 ? h[0] * Layout_->Width + h[2] : Layout_->Width;
    const double ht = h[8] != 0 ? h[4] * Layout_->Height + h[5] : Layout_->Height;
    if (w > 0 && ht > 0) return {w, ht};
  }
  return {595, 842};
}

QPointF TScanPageView::ToScreen(double x, double y) const {
  const auto& h = Reading_->PageToImage;
  double px = x, py = y;
  const double w = h[6] * x + h[7] * y + h[8];
  if (w != 0) {
    px = (h[0] * x + h[1] * y + h[2]) / w;
    py = (h[3] * x + h[4] * y + h[5]) / w;
  }
  const QSizeF size = ScanSize();
  const double scale = std::min(width() / size.width(), height() / size.height());
  const double left = (width() - size.width() * scale) / 2, top = (height() - size.height() * scale) / 2;
  return {left + px * scale, top + py * scale};
}

QPolygonF TScanPageView::RectOnScreen(const TPaperRect& r) const {
  return QPolygonF(
      {ToScreen(r.X, r.Y), ToScreen(r.X + r.W, r.Y), ToScreen(r.X + r.W, r.Y + r.H), ToScreen(r.X, r.Y + r.H)});
}

QPolygonF TScanPageView::BoxOnScreen(int row, int box) const {
  if (box < 0 || box >= BoxesInRow(row)) return {};
  return RectOnScreen(Layout_->Rows[static_cast<std::size_t>(row)].Boxes[static_cast<std::size_t>(box)]);
}

void TScanPageView::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), palette().window());
  const QSizeF size = ScanSize();
  const double scale = std::min(width() / size.width(), height() / size.height());
  const QRectF target((width() - size.width() * scale) / 2, (height() - size.height() * scale) / 2,
                      size.width() * scale, size.height() * scale);
  if (Scan_.isNull())
    p.fillRect(target, Qt::white);
  else
    p.drawImage(target, Scan_);
  if (!Reading_ || !Layout_) return;
  p.setRenderHint(QPainter::Antialiasing);
  auto draw = [&](const QPolygonF& shape, TBoxMark mark) {
    switch (mark) {
      case TBoxMark::Marked:
        p.setPen(QPen(MarkedColour, 2));
        p.setBrush(QColor(MarkedColour.red(), MarkedColour.green(), MarkedColour.blue(), 150));
        break;
      case TBoxMark::Doubtful:
        p.setPen(QPen(DoubtColour, 2.5, Qt::DashLine));
        p.setBrush(QBrush(DoubtColour, Qt::DiagCrossPattern));
        break;
      case TBoxMark::Empty:
        p.setPen(QPen(EmptyColour, 1));
        p.setBrush(Qt::NoBrush);
        break;
    }
    p.drawPolygon(shape);
  };
  for (std::size_t d = 0; d < Layout_->IdBoxes.size() && d < Reading_->IdMarks.size(); ++d)
    for (std::size_t k = 0; k < 10; ++k) draw(RectOnScreen(Layout_->IdBoxes[d][k]), Reading_->IdMarks[d][k]);
  for (int r = 0; r < static_cast<int>(Layout_->Rows.size()); ++r)
    for (int k = 0; k < BoxesInRow(r); ++k)
      draw(BoxOnScreen(r, k), Reading_->Answers[static_cast<std::size_t>(r)][static_cast<std::size_t>(k)]);
  if (hasFocus() && BoxesInRow(Row_) > 0) {
    const QRectF at = BoxOnScreen(Row_, Box_).boundingRect().adjusted(-4, -4, 4, 4);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(palette().windowText().color(), 2));
    p.drawRect(at);
  }
}

void TScanPageView::mousePressEvent(QMouseEvent* e) {
  setFocus(Qt::MouseFocusReason);
  if (e->button() != Qt::LeftButton || !Layout_ || !Reading_) return;
  for (int r = 0; r < static_cast<int>(Layout_->Rows.size()); ++r)
    for (int k = 0; k < BoxesInRow(r); ++k) {
      // A little room around the box: a scaled-down box is small to hit.
      if (BoxOnScreen(r, k).boundingRect().adjusted(-2, -2, 2, 2).contains(e->position())) {
        SetCurrent(r, k);
        CycleCurrent();
        return;
      }
    }
}

void TScanPageView::keyPressEvent(QKeyEvent* e) {
  switch (e->key()) {
    case Qt::Key_Left:
      SetCurrent(Row_, Box_ - 1);
      return;
    case Qt::Key_Right:
      SetCurrent(Row_, Box_ + 1);
      return;
    case Qt::Key_Up:
      SetCurrent(Row_ - 1, Box_);
      return;
    case Qt::Key_Down:
      SetCurrent(Row_ + 1, Box_);
      return;
    case Qt::Key_Space:
      CycleCurrent();
      return;
    default:
      QWidget::keyPressEvent(e);
  }
}

}  // namespace proctorium
