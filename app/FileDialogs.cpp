#include "app/FileDialogs.h"

#include <QFileDialog>

#include "app/ModalSeam.h"

namespace proctorium {

QString AskSaveFileName(QWidget* parent, const QString& caption, const QString& suggestedPath, const QString& filter,
                        const QString& defaultSuffix) {
  QFileDialog dlg(parent, caption, suggestedPath, filter);
  dlg.setObjectName(QStringLiteral("SaveFileDialog"));
  dlg.setAcceptMode(QFileDialog::AcceptSave);
  dlg.setFileMode(QFileDialog::AnyFile);
  dlg.setDefaultSuffix(defaultSuffix);
  if (ExecModal(&dlg) != QDialog::Accepted) return {};
  return dlg.selectedFiles().value(0);
}

}  // namespace proctorium
