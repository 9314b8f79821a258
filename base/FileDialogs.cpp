#include "base/FileDialogs.h"

#include <QFileDialog>

#include "base/ModalSeam.h"

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

QString AskSaveFileName(QWidget* parent, const QString& caption, const QString& suggestedPath, const QString& filter,
                        const QString& defaultSuffix) {
  if (Hook()) return Hook()(true, caption, suggestedPath);
  QFileDialog dlg(parent, caption, suggestedPath, filter);
  dlg.setObjectName(QStringLiteral("SaveFileDialog"));
  dlg.setAcceptMode(QFileDialog::AcceptSave);
  dlg.setFileMode(QFileDialog::AnyFile);
  dlg.setDefaultSuffix(defaultSuffix);
  if (ExecModal(&dlg) != QDialog::Accepted) return {};
  return dlg.selectedFiles().value(0);
}

}  // namespace proctorium
