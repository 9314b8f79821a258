#include "app/FileDialogs.h"

#include <QFileDialog>

namespace proctorium {

namespace {
TFileDialogHook& Hook() {
  static TFileDialogHook hook;
  return hook;
}
}  // namespace

void SetFileDialogHook(TFileDialogHook hook) { Hook() = std::move(hook); }

QString GetOpenFileName(QWidget* parent, const QString& caption, const QString& folder, const QString& filter) {
  if (Hook()) return Hook()(false, caption, folder);
  return QFileDialog::getOpenFileName(parent, caption, folder, filter);
}

QString GetSaveFileName(QWidget* parent, const QString& caption, const QString& folder, const QString& filter) {
  if (Hook()) return Hook()(true, caption, folder);
  return QFileDialog::getSaveFileName(parent, caption, folder, filter);
}

}  // namespace proctorium
