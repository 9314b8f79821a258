#pragma once
// proctorium-convert IN OUT [--key]: converts between question sets and
// the exchange formats by file extension; PDF is written only.

#include <QImage>
#include <QStringList>
#include <ostream>
#include <string>

#include "questions/core/ImportResult.h"

namespace proctorium {

// Exit code: 0 done, 1 the input was refused or the output could not be
// written (nothing is written then), 2 wrong use. Messages go to err.
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
