#include "testkit/Geometry.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSizeGrip>
#include <QStyle>
#include <QStyleOptionButton>
#include <QToolButton>
#include <QWidget>

namespace proctorium::testkit {

namespace {

QString Name(const QWidget* w) {
  QString path = w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : w->objectName();
  if (const QWidget* p = w->parentWidget(); p && !w->isWindow()) path = Name(p) + QStringLiteral("/") + path;
  return path;
}

QString Plain(QString caption) {
  caption.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
  caption.remove(QChar('&'));
  caption.replace(QChar(1), QChar('&'));
  return caption;
}

// The size the control's text needs, or an empty size when it has none to
// check.
QSize NeededForText(const QWidget* w) {
  if (auto* l = qobject_cast<const QLabel*>(w)) {
    if (l->text().isEmpty()) return {};
    if (l->wordWrap()) return {0, l->heightForWidth(l->width())};
    return l->sizeHint();
  }
  if (qobject_cast<const QToolButton*>(w)) return {};
  if (auto* b = qobject_cast<const QAbstractButton*>(w)) {
    const QString text = Plain(b->text());
    if (text.isEmpty()) return {};
    const QFontMetrics fm = b->fontMetrics();
    const int textWidth = fm.horizontalAdvance(text);
    if (qobject_cast<const QCheckBox*>(w) || qobject_cast<const QRadioButton*>(w)) {
      const bool check = qobject_cast<const QCheckBox*>(w) != nullptr;
      const QStyle* s = b->style();
      const int indicator = s->pixelMetric(check ? QStyle::PM_IndicatorWidth : QStyle::PM_ExclusiveIndicatorWidth);
      const int spacing = s->pixelMetric(check ? QStyle::PM_CheckBoxLabelSpacing : QStyle::PM_RadioButtonLabelSpacing);
      return {indicator + spacing + textWidth, fm.height()};
    }
    // A push button draws its caption inside a frame of a few pixels.
    return {textWidth + 4, fm.height()};
  }
  if (auto* g = qobject_cast<const QGroupBox*>(w)) {
    if (g->title().isEmpty()) return {};
    return {g->fontMetrics().horizontalAdvance(Plain(g->title())) + 8, g->fontMetrics().height()};
  }
  if (auto* m = qobject_cast<const QMenuBar*>(w)) return {0, m->sizeHint().height()};
  return {};
}

void Walk(QWidget* parent, QWidget* window, const QStringList& overlays, bool scrolled, QStringList& faults) {
  QList<QWidget*> shown;
  for (QObject* o : parent->children()) {
    auto* w = qobject_cast<QWidget*>(o);
    // The size grip sits in the corner over whatever is there, by design.
    if (!w || w->isWindow() || !w->isVisibleTo(window) || qobject_cast<QSizeGrip*>(w)) continue;
    shown << w;
    const QSize need = NeededForText(w);
    if (need.width() > w->width() || need.height() > w->height())
      faults << Name(w) + QString::asprintf(": text needs %dx%d but has %dx%d", need.width(), need.height(), w->width(),
                                            w->height());
    // A child reaching past its parent's edge is cut off there; only
    // scrolled content may be larger than what shows it.
    if (!scrolled && !overlays.contains(w->objectName()) && !parent->rect().contains(w->geometry()))
      faults << QStringLiteral("%1 reaches outside %2").arg(Name(w), Name(parent));
    if (auto* area = qobject_cast<QScrollArea*>(w)) {
      if (area->widget()) Walk(area->widget(), window, overlays, false, faults);
      continue;
    }
    // The parts of a text box or list are the toolkit's own.
    if (qobject_cast<QAbstractScrollArea*>(w)) continue;
    Walk(w, window, overlays, false, faults);
  }
  for (int i = 0; i < shown.size(); ++i)
    for (QWidget* b : shown.mid(i + 1)) {
      QWidget* a = shown[i];
      if (overlays.contains(a->objectName()) || overlays.contains(b->objectName())) continue;
      if (a->geometry().intersects(b->geometry())) faults << QStringLiteral("%1 overlaps %2").arg(Name(a), Name(b));
    }
}

}  // namespace

QStringList LayoutFaults(QWidget* window, const QStringList& overlays) {
  QStringList faults;
  Walk(window, window, overlays, false, faults);
  return faults;
}

}  // namespace proctorium::testkit
