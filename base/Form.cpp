#include "base/Form.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QShowEvent>

namespace proctorium {

namespace {

const char* const HintProperty = "ProctoriumShowHint";
const char* const HelpProperty = "ProctoriumHelpPage";

THelpHandler& HelpHandler() {
  static THelpHandler handler;
  return handler;
}

class THintFilter : public QObject {
 public:
  using QObject::QObject;
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::ToolTip) {
      auto* w = qobject_cast<QWidget*>(watched);
      // A list row's own tip (the whole of a name cut off) is content, not
      // a hint, and shows whatever the hint setting.
      if (auto* view = w ? qobject_cast<QAbstractItemView*>(w->parentWidget()) : nullptr;
          view && view->viewport() == w) {
        const QModelIndex index = view->indexAt(static_cast<QHelpEvent*>(event)->pos());
        if (index.isValid() && !index.data(Qt::ToolTipRole).toString().isEmpty()) return false;
      }
      if (w && !WindowShowHint(w->window())) return true;
    }
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1) {
      auto* w = qobject_cast<QWidget*>(watched);
      if (!w || !HelpHandler()) return false;
      const std::string page = WindowHelpPage(w);
      if (page.empty()) return false;
      HelpHandler()(page);
      return true;
    }
    return false;
  }
};

}  // namespace

void InstallHintFilter() {
  static bool installed = false;
  if (installed || !qApp) return;
  qApp->installEventFilter(new THintFilter(qApp));
  installed = true;
}

void SetWindowShowHint(QWidget* window, bool on) { window->setProperty(HintProperty, on); }

bool WindowShowHint(const QWidget* window) {
  QVariant v = window->property(HintProperty);
  return !v.isValid() || v.toBool();
}

void SetWindowHelpPage(QWidget* window, const char* page) {
  InstallHintFilter();
  window->setProperty(HelpProperty, QString::fromLatin1(page));
}

std::string WindowHelpPage(const QWidget* widget) {
  for (const QWidget* w = widget ? widget->window() : nullptr; w;
       w = w->parentWidget() ? w->parentWidget()->window() : nullptr) {
    const QVariant v = w->property(HelpProperty);
    if (v.isValid()) return v.toString().toStdString();
  }
  return std::string();
}

void SetHelpHandler(THelpHandler handler) { HelpHandler() = std::move(handler); }

TForm::TForm(QWidget* parent) : QDialog(parent) { InstallHintFilter(); }

bool TForm::ShowHint() const { return WindowShowHint(this); }

void TForm::SetShowHint(bool on) { SetWindowShowHint(this, on); }

void TForm::SetFontSize(int points) {
  QFont f = font();
  f.setPointSize(points);
  setFont(f);
}

void TForm::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  if (!e->spontaneous()) FormShow();
}

}  // namespace proctorium
