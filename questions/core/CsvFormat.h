#pragma once
// Questions as a spreadsheet table, one question a row, under the header
//   question,A,B,C,D,E,F,G,H,correct,type,shuffle,reference,exhibit
// correct: the correct letters ("B", "AC"); type: single or multiple
// (empty: multiple when several letters are given); shuffle: yes or no
// (empty: yes); exhibit: a picture file name in the Tests folder.
// Columns are found by their header names in any order and letter case;
// answer columns beyond H (I, J, ...) are read so that questions with too
// many answers are reported. Fields are quoted as RFC 4180 says; the file
// is UTF-8 with or without a byte order mark, and a header that uses ';'
// instead of ',' makes ';' the separator.

#include <string>

#include "questions/core/ImportResult.h"

namespace proctorium {

// Throws EImportError.
TImportResult ReadCsv(const std::string& bytes, const std::string& fileName);
// UTF-8 with a byte order mark (spreadsheets then open it as UTF-8), CR LF.
TExportResult WriteCsv(const TQuestionSet& set);

}  // namespace proctorium
