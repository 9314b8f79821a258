#pragma once
// The file dialogs of the program, run through the modal seam so tests can
// choose the file.

#include <QString>

class QWidget;

namespace proctorium {

// Asks where to save a file; the dialog's objectName is "SaveFileDialog".
// Empty when the user cancels.
QString AskSaveFileName(QWidget* parent, const QString& caption, const QString& suggestedPath, const QString& filter,
                        const QString& defaultSuffix);

}  // namespace proctorium
