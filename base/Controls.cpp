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

void GrowFixedDialog(QWidget* dialog, int points) {
  static const char* const DesignPlace = "DesignPlace";
  static const char* const DesignPoints = "DesignPoints";
  if (!dialog->property(DesignPlace).isValid()) {
    dialog->setProperty(DesignPlace, QRect(QPoint(), dialog->size()));
    dialog->setProperty(DesignPoints, dialog->font().pointSize());
  }
  QList<QWidget*> controls;
  for (QWidget* c : dialog->findChildren<QWidget*>()) {
    // Windows of their own and controls a layout places are left alone.
    if (c->isWindow() || !c->parentWidget() || c->parentWidget()->layout()) continue;
    if (c->window() != dialog) continue;
    if (!c->property(DesignPlace).isValid()) {
      c->setProperty(DesignPlace, c->geometry());
      // A control with a size of its own keeps it relative to the window's.
      c->setProperty(DesignPoints, c->testAttribute(Qt::WA_SetFont) ? c->font().pointSize() : 0);
    }
    controls << c;
  }
  QFont f = dialog->font();
  // The growth stops at twice the design (see FontGrowth), and so does the
  // text of these small dialogs: 20 points at most.
  f.setPointSize(std::clamp(points, 1, 20));
  const double scale = std::max(1.0, FontGrowth(f));
  if (scale == 1.0) f.setPointSize(dialog->property(DesignPoints).toInt());
  dialog->setFont(f);
  // Widths get a little more than the heights' growth: a font's letters do
  // not all widen in step with its line height.
  const double across = scale > 1.0 ? scale * 1.08 : 1.0;
  auto grown = [scale, across](const QRect& d) {
    return QRect(static_cast<int>(d.x() * across), static_cast<int>(d.y() * scale),
                 static_cast<int>(d.width() * across), static_cast<int>(d.height() * scale));
  };
  for (QWidget* c : controls) {
    c->setGeometry(grown(c->property(DesignPlace).toRect()));
    const int own = c->property(DesignPoints).toInt();
    if (own > 0) SetPointSize(c, std::max(own, static_cast<int>(own * scale)));
  }
  // Letters do not scale exactly with the line height, and a family wider
  // than the design's needs more room: a label or a check box gets what its
  // text needs, and whatever it would then run into below moves down.
  for (QWidget* c : controls) {
    auto* label = qobject_cast<QLabel*>(c);
    auto* check = qobject_cast<QCheckBox*>(c);
    if (label && !label->text().isEmpty()) {
      if (label->wordWrap())
        label->resize(label->width(), std::max(label->height(), label->heightForWidth(label->width())));
      else
        label->resize(label->size().expandedTo(label->sizeHint()));
    } else if (check) {
      check->resize(check->size().expandedTo(check->sizeHint()));
    } else {
      continue;
    }
    for (QWidget* other : controls) {
      if (other == c || other->parentWidget() != c->parentWidget() || other->y() <= c->y()) continue;
      if (!other->geometry().intersects(c->geometry())) continue;
      const int extra = c->geometry().bottom() + 1 - other->y();
      const int from = other->y();
      for (QWidget* below : controls)
        if (below != c && below->parentWidget() == c->parentWidget() && below->y() >= from)
          below->move(below->x(), below->y() + extra);
    }
  }
  // A panel holding moved controls grows round them, and what stands below
  // it moves down by as much, so the panel never runs into a button.
  for (QWidget* c : controls) {
    QRect inner;
    for (QWidget* child : controls)
      if (child->parentWidget() == c) inner |= child->geometry();
    if (inner.isNull()) continue;
    const int bottom = c->geometry().bottom();
    c->resize(c->size().expandedTo(QSize(inner.right() + 4, inner.bottom() + 4)));
    const int extra = c->geometry().bottom() - bottom;
    if (extra <= 0) continue;
    for (QWidget* below : controls)
      if (below != c && below->parentWidget() == c->parentWidget() && below->y() > bottom)
        below->move(below->x(), below->y() + extra);
  }
  QSize size = grown(dialog->property(DesignPlace).toRect()).size();
  for (QWidget* c : controls)
    if (c->parentWidget() == dialog)
      size = size.expandedTo(QSize(c->geometry().right() + 9, c->geometry().bottom() + 9));
  dialog->setFixedSize(size);
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
