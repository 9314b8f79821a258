#include "app/Form.h"

#include <QApplication>
#include <QShowEvent>

namespace proctorium {

namespace {

const char* const HintProperty = "ProctoriumShowHint";

class THintFilter : public QObject {
 public:
  using QObject::QObject;
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::ToolTip) {
      if (auto* w = qobject_cast<QWidget*>(watched); w && !WindowShowHint(w->window())) return true;
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
