#pragma once
// Every file dialog of the program goes through these, so tests can answer
// them with a file name instead of a window.

#include <QString>
#include <QStringList>
#include <functional>
#include <string>

class QWidget;

namespace proctorium {

// The chosen file, or an empty string when the user cancelled.
QString GetOpenFileName(QWidget* parent, const QString& caption, const QString& folder, const QString& filter);
// Several files at once (scanned pages); empty when cancelled. A test's
// hook answers with the names on separate lines.
QStringList GetOpenFileNames(QWidget* parent, const QString& caption, const QString& folder, const QString& filter);
QString GetSaveFileName(QWidget* parent, const QString& caption, const QString& folder, const QString& filter);

// Asks where to save a file, run through the modal seam; the dialog's
// objectName is "SaveFileDialog". Empty when the user cancels.
QString AskSaveFileName(QWidget* parent, const QString& caption, const QString& suggestedPath, const QString& filter,
                        const QString& defaultSuffix);

// The folder an export is first offered in: the folder of the last export
// of this run, else the user's documents folder; never the shared Tests
// folder the candidates use.
QString ExportFolder();

// Asks where to save an export (suggestedName in ExportFolder()), writes it
// with write(path), which throws on failure, and ends with a short notice
// "Saved: <path>" (not modal, so nobody has to dismiss it) or the error in
// a warning box. False when cancelled or failed.
bool ExportFile(QWidget* parent, const QString& caption, const QString& suggestedName, const QString& filter,
                const QString& defaultSuffix, const std::function<void(const std::string& path)>& write);
// The text of the last notice shown, for tests.
QString LastExportNotice();

// save: true for a save dialog. An empty hook restores the real dialogs.
using TFileDialogHook = std::function<QString(bool save, const QString& caption, const QString& folder)>;
void SetFileDialogHook(TFileDialogHook hook);

}  // namespace proctorium
