#pragma once
// The GIFT text format, multiple-choice part: "::title:: question {=right
// ~wrong}", weights "~%50%" (a positive weight marks a correct answer),
// "#" answer feedback and "####" general feedback, "//" comment lines,
// backslash escapes, questions separated by blank lines. Other question
// types are recognised and reported, not taken in.

#include <string>

#include "questions/core/ImportResult.h"

namespace proctorium {

// Feedback goes into the question's reference / comment. Titles name a
// question in the other system and are not kept. Throws EImportError.
TImportResult ReadGift(const std::string& bytes, const std::string& fileName, int room = -1);
// UTF-8 with CR LF. Shuffle flags and exhibits are not carried.
TExportResult WriteGift(const TQuestionSet& set);

}  // namespace proctorium
