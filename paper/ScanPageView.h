#pragma once
// One scanned page with the boxes of its sheet drawn where the reader
// looked. Marked, empty and doubtful boxes differ in shape as well as in
// colour (filled, plain outline, hatched with a dashed outline), so nobody
// has to tell them apart by colour alone. A click on an answer box, or Space
// on the one the arrow keys moved to, changes its state.

#include <QImage>
#include <QPolygonF>
#include <QWidget>

#include "paper/core/PageReading.h"
#include "paper/core/SheetLayout.h"

namespace proctorium {

class TScanPageView : public QWidget {
  Q_OBJECT
 public:
  explicit TScanPageView(QWidget* parent = nullptr);

  // The page to show; reading and layout stay owned by the caller and may
  // be null (a page that was not read shows its scan alone).
  void SetPage(TPageReading* reading, const TSheetLayout* layout, QImage scan);

  int CurrentRow() const { return Row_; }
  int CurrentBox() const { return Box_; }
  void SetCurrent(int row, int box);
  // Empty -> marked -> empty; a doubtful box becomes marked first.
  void CycleCurrent();
  // Where an answer box lies in the widget, for clicks (and tests).
  QPolygonF BoxOnScreen(int row, int box) const;
  // "Question 3, box B: marked", for the status line and screen readers.
  QString CurrentText() const;

 signals:
  void BoxChanged();
  void CurrentMoved();

 protected:
  void paintEvent(QPaintEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;

 private:
  QPointF ToScreen(double x, double y) const;
  QPolygonF RectOnScreen(const TPaperRect& r) const;
  QSizeF ScanSize() const;
  int BoxesInRow(int row) const;
  void Describe();

  TPageReading* Reading_ = nullptr;
  const TSheetLayout* Layout_ = nullptr;
  QImage Scan_;
  int Row_ = 0, Box_ = 0;
};

}  // namespace proctorium
