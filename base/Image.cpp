#include "base/Image.h"

#include <QFileInfo>
#include <QImageReader>
#include <QPainter>

namespace proctorium {

TImage::TImage(QWidget* parent) : QWidget(parent) {}

bool TImage::LoadFromFile(const QString& path, QString* error) {
  QImageReader reader(path);
  reader.setDecideFormatFromContent(true);
  QImage img = reader.read();
  if (img.isNull() || img.width() <= 0 || img.height() <= 0) {
    if (error) *error = QStringLiteral("Cannot read the picture %1: %2").arg(path, reader.errorString());
    return false;
  }
  SetPicture(img);
  return true;
}

void TImage::SetPicture(const QImage& image) {
  Picture_ = image;
  if (AutoSize && !Picture_.isNull()) resize(Picture_.size());
  update();
}

void TImage::Clear() {
  Picture_ = QImage();
  update();
}

void TImage::SetStretch(bool on) {
  Stretch = on;
  update();
}

void TImage::SetCenter(bool on) {
  Center = on;
  update();
}

void TImage::paintEvent(QPaintEvent*) {
  if (Picture_.isNull()) return;
  QPainter p(this);
  if (Stretch) {
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(rect(), Picture_);
    return;
  }
  QPoint at(0, 0);
  if (Center) at = QPoint((width() - Picture_.width()) / 2, (height() - Picture_.height()) / 2);
  p.drawImage(at, Picture_);
}

}  // namespace proctorium
