#pragma once
// The score distribution of a series as a bar chart, with the mean and one
// standard deviation either side marked.

#include <QImage>
#include <QWidget>

#include "session/core/ItemStatistics.h"

namespace proctorium {

class THistogram : public QWidget {
  Q_OBJECT
 public:
  explicit THistogram(QWidget* parent = nullptr);
  void SetSeries(const TSeriesStatistics* series);
  // The chart drawn on a white picture of the given size, for saving.
  QImage Render(const QSize& size) const;
  // Room for the captions and a plot of several lines, in the window font.
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* e) override;

 private:
  void Draw(QPainter& p, const QRect& area) const;
  const TSeriesStatistics* Series_ = nullptr;
};

}  // namespace proctorium
