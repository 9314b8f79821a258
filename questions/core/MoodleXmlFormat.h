#pragma once
// The XML question format of the widely used open-source learning
// platform: <quiz> with <question type="multichoice"> (<single>,
// <shuffleanswers>, answers with fractions, <generalfeedback>) and
// <question type="truefalse">; texts are HTML, pictures are embedded as
// <file encoding="base64">.

#include <functional>
#include <string>

#include "questions/core/ImportResult.h"

namespace proctorium {

// General feedback and answer feedback go into the reference / comment.
// The first picture of a question text becomes its exhibit (in Images;
// see ConvertImages and WriteImages). Throws EImportError.
TImportResult ReadMoodleXml(const std::string& bytes, const std::string& fileName, int room = -1);

// Gives the bytes of an exhibit named in a set; false when it is missing.
using TExhibitReader = std::function<bool(const std::string& storedName, std::string& bytes)>;
// UTF-8. Exhibits are embedded as they are (Windows bitmaps).
TExportResult WriteMoodleXml(const TQuestionSet& set, const TExhibitReader& readExhibit);

}  // namespace proctorium
