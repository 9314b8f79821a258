#pragma once
// The plain-text multiple-choice list known as the Aiken format: the
// question on its own line(s), lettered answers "A. ..." or "A) ...", then
// "ANSWER: B". Questions may be separated by blank lines. It holds one
// correct answer per question and nothing else.

#include <string>

#include "questions/core/ImportResult.h"

namespace proctorium {

// Throws EImportError for a file that does not follow the format.
TImportResult ReadAiken(const std::string& bytes, const std::string& fileName, int room = -1);
// UTF-8 with CR LF. Questions with other than one correct answer are left
// out with a note; references, shuffle flags and exhibits are not carried.
TExportResult WriteAiken(const TQuestionSet& set);

}  // namespace proctorium
