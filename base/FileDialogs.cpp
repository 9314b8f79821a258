#include "base/FileDialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStandardPaths>

#include "base/MessageDlg.h"
#include "base/ModalSeam.h"
#include "base/ProgramFolder.h"

namespace proctorium {

namespace {
TFileDialogHook& Hook() {
  static TFileDialogHook hook;
  return hook;
}
QString& LastFolder() {
  static QString folder;
  return folder;
}

QString& LastNotice() {
  static QString notice;
  return notice;
}

bool SameFolder(const QString& a, const QString& b) {
  return QFileInfo(a).canonicalFilePath() == QFileInfo(b).canonicalFilePath() &&
         !QFileInfo(a).canonicalFilePath().isEmpty();
}

}  // namespace

QString ExportFolder() {
  if (!LastFolder().isEmpty() && QFileInfo(LastFolder()).isDir()) return LastFolder();
  const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  if (!documents.isEmpty() && QDir().mkpath(documents)) return documents;
  return QDir::homePath();
}

bool ExportFile(QWidget* parent, const QString& caption, const QString& suggestedName, const QString& filter,
                const QString& defaultSuffix, const std::function<void(const std::string& path)>& write) {
  const QString path =
      AskSaveFileName(parent, caption, QDir(ExportFolder()).filePath(suggestedName), filter, defaultSuffix);
  if (path.isEmpty()) return false;
  try {
    write(path.toStdString());
  } catch (const std::exception& e) {
    MessageDlg(QString::fromStdString(e.what()), TMsgDlgType::Warning, mbOK);
    return false;
  }
  // A key saved into the pupils' folder once is not offered there again.
  const QString folder = QFileInfo(path).absolutePath();
  if (!SameFolder(folder, QString::fromStdString(ProgramPath("Tests\\")))) LastFolder() = folder;
  LastNotice() = QStringLiteral("Saved: ") + QDir::toNativeSeparators(path);
  auto* notice = new QMessageBox(QMessageBox::Information, caption, LastNotice(), QMessageBox::Ok, parent);
  notice->setObjectName(QStringLiteral("ExportNotice"));
  notice->setAttribute(Qt::WA_DeleteOnClose);
  notice->setModal(false);
  notice->show();
  return true;
}

QString LastExportNotice() { return LastNotice(); }

void SetFileDialogHook(TFileDialogHook hook) { Hook() = std::move(hook); }

QString GetOpenFileName(QWidget* parent, const QString& caption, const QString& folder, const QString& filter) {
  if (Hook()) return Hook()(false, caption, folder);
  return QFileDialog::getOpenFileName(parent, caption, folder, filter);
}

QStringList GetOpenFileNames(QWidget* parent, const QString& caption, const QString& folder, const QString& filter) {
  if (Hook()) return Hook()(false, caption, folder).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
  return QFileDialog::getOpenFileNames(parent, caption, folder, filter);
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
