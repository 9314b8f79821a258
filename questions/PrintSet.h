#pragma once
// Printing a set's question paper or answer key, on a printer or as PDF.

#include <string>

class QWidget;

namespace proctorium {

// Loads setFile and prints it: on a printer chosen in the print dialog, or
// (pdf) into a PDF file chosen in a save dialog. Errors are shown.
void PrintSetFile(QWidget* parent, const std::string& setFile, bool answerKey, bool pdf);

}  // namespace proctorium
