#include "session/Histogram.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "session/core/ChartText.h"

namespace proctorium {

THistogram::THistogram(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("Histogram"));
  // Reachable by Tab, so a screen reader user meets the chart's figures,
  // which it reads as the description.
  setFocusPolicy(Qt::StrongFocus);
  setAccessibleName(QStringLiteral("Score chart"));
  setAccessibleDescription(QString::fromStdString(ChartText(nullptr)));
}

QSize THistogram::minimumSizeHint() const {
  const QFontMetrics fm(font());
  return {std::max(240, fm.horizontalAdvance(QStringLiteral("0000")) + 10 * fm.horizontalAdvance(QStringLiteral("90"))),
          std::max(140, 9 * fm.height())};
}

void THistogram::SetSeries(const TSeriesStatistics* series) {
  Series_ = series;
  setAccessibleDescription(QString::fromStdString(ChartText(series)));
  update();
}

QImage THistogram::Render(const QSize& size) const {
  QImage image(size, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter p(&image);
  p.setFont(font());
  Draw(p, image.rect());
  return image;
}

void THistogram::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), Qt::white);
  Draw(p, rect());
  if (hasFocus()) {
    // Black on the chart's white: the focus shows whatever the screen colours.
    p.setPen(QPen(Qt::black, 2, Qt::DashLine));
    p.setBrush(Qt::NoBrush);
    p.drawRect(rect().adjusted(1, 1, -1, -1));
  }
}

void THistogram::Draw(QPainter& p, const QRect& area) const {
  p.setRenderHint(QPainter::Antialiasing, false);
  const QFontMetrics fm(p.font());
  const int left = area.left() + fm.horizontalAdvance(QStringLiteral("0000")) + 8;
  const int right = area.right() - 10;
  const int top = area.top() + fm.height() + 6;
  const int bottom = area.bottom() - 2 * fm.height() - 6;
  if (right - left < 50 || bottom - top < 30) return;
  p.setPen(Qt::black);
  p.drawLine(left, bottom, right, bottom);
  p.drawLine(left, top, left, bottom);
  if (!Series_ || Series_->Takers == 0) {
    p.drawText(QRect(left, top, right - left, bottom - top), Qt::AlignCenter, QStringLiteral("No tests saved yet"));
    return;
  }
  const auto& h = Series_->Histogram;
  const int most = std::max(1, *std::max_element(h.begin(), h.end()));
  const double slot = (right - left) / 10.0;
  // The scale: whole numbers of tests, a few steps.
  const int step = std::max(1, (most + 4) / 5);
  for (int v = 0; v <= most; v += step) {
    const int y = bottom - (bottom - top) * v / most;
    p.setPen(QColor(220, 220, 220));
    if (v) p.drawLine(left + 1, y, right, y);
    p.setPen(Qt::black);
    p.drawText(QRect(area.left(), y - fm.height() / 2, left - area.left() - 4, fm.height()),
               Qt::AlignRight | Qt::AlignVCenter, QString::number(v));
  }
  // One per-cent axis for everything: bar i covers 10*i to 10*i+10 per cent
  // (the last one 90 to 100), the labels stand at the class limits, and the
  // mean and the band below are placed on the same axis, so a mean of 83 per
  // cent lies a third of the way into the 80 to 90 bar.
  auto xAt = [&](double percent) {
    return left + static_cast<int>(std::lround(std::clamp(percent, 0.0, 100.0) / 100.0 * (right - left)));
  };
  // With a large font or a narrow chart every second or fifth limit is
  // labelled, so the numbers never run into each other.
  const int labelWidth = fm.horizontalAdvance(QStringLiteral("100")) + 6;
  int labelEvery = 1;
  for (int every : {1, 2, 5, 10}) {
    labelEvery = every;
    if (slot * every >= labelWidth) break;
  }
  for (int i = 0; i < 10; ++i) {
    const int x0 = xAt(i * 10) + 1;
    const int x1 = xAt(i * 10 + 10) - 1;
    const int y = bottom - (bottom - top) * h[i] / most;
    if (h[i] > 0) p.fillRect(QRect(QPoint(x0, y), QPoint(x1, bottom - 1)), QColor(70, 120, 190));
  }
  p.setPen(Qt::black);
  for (int i = 0; i <= 10; ++i) {
    const int x = xAt(i * 10);
    p.drawLine(x, bottom, x, bottom + 3);
    if (i % labelEvery == 0)
      p.drawText(QRect(x - labelWidth, bottom + 3, 2 * labelWidth, fm.height()), Qt::AlignCenter,
                 QString::number(i * 10));
  }
  p.drawText(QRect(left, bottom + 2 + fm.height(), right - left, fm.height()), Qt::AlignCenter,
             QStringLiteral("Score (per cent)"));
  const int mean = xAt(Series_->MeanPercent);
  p.fillRect(QRect(QPoint(xAt(Series_->MeanPercent - Series_->SdPercent), top),
                   QPoint(xAt(Series_->MeanPercent + Series_->SdPercent), bottom - 1)),
             QColor(230, 120, 40, 50));
  p.setPen(QPen(QColor(200, 60, 20), 2));
  p.drawLine(mean, top, mean, bottom);
  // The caption spans the whole chart; a narrow one takes the short form.
  const QRect caption(area.left() + 4, area.top() + 2, area.width() - 8, fm.height());
  QString text = QStringLiteral("Mean %1%, standard deviation %2")
                     .arg(Series_->MeanPercent, 0, 'f', 1)
                     .arg(Series_->SdPercent, 0, 'f', 1);
  if (fm.horizontalAdvance(text) > caption.width())
    text = QStringLiteral("Mean %1%, SD %2").arg(Series_->MeanPercent, 0, 'f', 1).arg(Series_->SdPercent, 0, 'f', 1);
  p.drawText(caption, Qt::AlignCenter, fm.elidedText(text, Qt::ElideRight, caption.width()));
}

}  // namespace proctorium
