#pragma once
// Every file dialog of the program goes through these, so tests can answer
// them with a file name instead of a window.

#include <QString>
#include <functional>

class QWidget;

namespace proctorium {

// The chosen file, or an empty string when the user cancelled.
QString GetOpenFileName(QWidget* parent, const QString& caption, const QString& folder, const QString& filter);
QString GetSaveFileName(QWidget* parent, const QString& caption, const QString& folder, const QString& filter);

// Asks where to save a file, run through the modal seam; the dialog's
// objectName is "SaveFileDialog". Empty when the user cancels.
QString AskSaveFileName(QWidget* parent, const QString& caption, const QString& suggestedPath, const QString& filter,
                        const QString& defaultSuffix);

// save: true for a save dialog. An empty hook restores the real dialogs.
using TFileDialogHook = std::function<QString(bool save, const QString& caption, const QString& folder)>;
void SetFileDialogHook(TFileDialogHook hook);

}  // namespace proctorium
