#include "base/Pictures.h"

#include <QLinearGradient>
#include <QPainter>

#include "base/AnsiText.h"
#include "base/Image.h"
#include "base/core/FileIO.h"

namespace proctorium {

bool LoadImageFile(TImage* image, const std::string& path) {
  if (!FileExists(path)) return false;
  QString error;
  if (!image->LoadFromFile(QString::fromStdString(path), &error)) throw EFileError(ToAnsi(error));
  return true;
}

QImage Logo() {
  QImage logo(320, 50, QImage::Format_RGB32);
  QPainter p(&logo);
  QLinearGradient g(0, 0, 320, 0);
  g.setColorAt(0.0, QColor(0x1F, 0x3A, 0x68));
  g.setColorAt(1.0, QColor(0x4A, 0x7F, 0xB8));
  p.fillRect(logo.rect(), g);
  p.setPen(QColor(0xF2, 0xC1, 0x4E));
  p.setBrush(Qt::NoBrush);
  p.drawRect(10, 12, 26, 26);
  p.drawLine(15, 25, 21, 32);
  p.drawLine(21, 32, 32, 17);
  QFont f(QStringLiteral("Sans Serif"));
  f.setPixelSize(24);
  f.setBold(true);
  p.setFont(f);
  p.setPen(Qt::white);
  p.drawText(QRect(46, 0, 270, 50), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("Proctorium"));
  return logo;
}

}  // namespace proctorium
