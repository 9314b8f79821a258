#pragma once
// The converter's toolkit side: painting the PDF of a sheet and decoding
// pictures, and the modes of the full converter program, which starts the
// toolkit's GUI part only for a mode that paints or decodes.

#include <QImage>
#include <QStringList>
#include <ostream>
#include <string>

#include "questions/core/Conversion.h"
#include "questions/core/ImportResult.h"

namespace proctorium {

// What one run of the full converter does, chosen from its arguments before
// the toolkit is started. A mode that paints or decodes pictures needs the
// GUI application (fonts, image plug-ins); the others start only the core
// one. A new mode is one more line in ConverterModeOf.
struct TConverterMode {
  bool NeedsGui = false;
  int (*Run)(const QStringList& args, std::ostream& err) = nullptr;
};
TConverterMode ConverterModeOf(const QStringList& args);

// proctorium-convert IN OUT [--key] with pictures and PDF (see
// RunConversion). Needs a QGuiApplication for PDF output and XML input.
int RunConverter(const QStringList& args, std::ostream& err);

// Windows bitmap bytes of any picture the toolkit can read.
bool ToBitmap(const std::string& bytes, std::string& bitmap);
// A picture from its file bytes; a null image when they are none.
QImage ImageOfBytes(const std::string& bytes);
// The PDF of a sheet, as bytes.
std::string SheetPdf(const TQuestionSet& set, bool answerKey, const std::string& title,
                     const std::function<QImage(const std::string&)>& exhibit,
                     const std::function<std::string(const std::string&)>& describe = {});

}  // namespace proctorium
