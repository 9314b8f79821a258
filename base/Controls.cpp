#include "base/Controls.h"

#include <QFontMetricsF>
#include <QScreen>
#include <algorithm>

#include "base/Image.h"

namespace proctorium {

void SetPointSize(QWidget* w, int points) {
  QFont f = w->font();
  f.setPointSize(points);
  w->setFont(f);
}

void SetFixedDialogFrame(QWidget* dialog) {
  dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowCloseButtonHint);
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption, const QString& hint,
                        const QRect& place, int points) {
  auto* b = new QPushButton(caption, parent);
  b->setObjectName(QString::fromLatin1(name));
  if (!hint.isEmpty()) b->setToolTip(hint);
  b->setGeometry(place);
  b->setAutoDefault(false);
  if (points > 0) SetPointSize(b, points);
  return b;
}

QPushButton* MakeAutoDefaultButton(QWidget* parent, const char* name, const QString& caption, const QString& hint,
                                   const QRect& place, int points) {
  QPushButton* b = MakeButton(parent, name, caption, hint, place, points);
  b->setAutoDefault(true);
  return b;
}

QCheckBox* MakeCheck(QWidget* parent, const char* name, const QString& caption, const QString& hint,
                     const QRect& place) {
  auto* cb = new QCheckBox(caption, parent);
  cb->setObjectName(QString::fromLatin1(name));
  if (!hint.isEmpty()) cb->setToolTip(hint);
  cb->setGeometry(place);
  return cb;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& caption, const QPoint& at, int points) {
  auto* l = new QLabel(caption, parent);
  l->setObjectName(QString::fromLatin1(name));
  l->move(at);
  if (points > 0) SetPointSize(l, points);
  l->adjustSize();
  return l;
}

QLineEdit* MakeEdit(QWidget* parent, const char* name, const QString& hint, const QRect& place) {
  auto* e = new QLineEdit(parent);
  e->setObjectName(QString::fromLatin1(name));
  if (!hint.isEmpty()) e->setToolTip(hint);
  e->setGeometry(place);
  return e;
}

TImage* MakeImage(QWidget* parent, const char* name, const QString& hint, const QRect& place) {
  auto* image = new TImage(parent);
  image->setObjectName(QString::fromLatin1(name));
  if (!hint.isEmpty()) image->setToolTip(hint);
  image->setGeometry(place);
  return image;
}

double FontGrowth(const QFont& font) {
  QFont usual = font;
  usual.setPointSize(10);
  return std::clamp(QFontMetricsF(font).height() / QFontMetricsF(usual).height(), 1.0, 2.0);
}

void OpenGrownForFont(QWidget* window, QSize design) {
  const double scale = FontGrowth(window->font());
  QSize size(static_cast<int>(design.width() * scale), static_cast<int>(design.height() * scale));
  if (const QScreen* screen = window->screen()) {
    const QRect free = screen->availableGeometry();
    size = size.boundedTo(free.size() * 0.9).expandedTo(design);
    window->resize(size);
    window->move(free.center() - window->rect().center());
  } else {
    window->resize(size);
  }
}

}  // namespace proctorium
