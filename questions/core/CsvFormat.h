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
#include <vector>

#include "questions/core/ImportResult.h"

namespace proctorium {

// Throws EImportError.
TImportResult ReadCsv(const std::string& bytes, const std::string& fileName, int room = -1);

// Which columns of a table from another tool hold what (0-based).
struct TCsvColumns {
  int Question = -1;
  std::vector<int> Answers;  // answer A, B, ... in this order
  int Key = -1;              // the correct answers: letters ("B", "AC"), numbers ("2", "1;3") or an answer's text
  bool operator==(const TCsvColumns&) const = default;
};

// The cells of the header line when it is not this program's header (so
// the columns must be chosen), or empty when ReadCsv reads the file as it
// is. Throws EImportError for a file that is no table at all.
std::vector<std::string> ForeignCsvHeader(const std::string& bytes, const std::string& fileName);
// A first guess at the columns, from their names: "question", "frage",
// "pregunta"... for the question, "correct", "answer", "key", "richtig"...
// for the key, the columns between for the answers.
TCsvColumns GuessCsvColumns(const std::vector<std::string>& header);
// Reads the rows below the header with the columns chosen; every question
// is shuffled and takes several answers when the key names several.
// Throws EImportError, also for columns the header does not have.
TImportResult ReadCsv(const std::string& bytes, const std::string& fileName, const TCsvColumns& columns, int room = -1);
// UTF-8 with a byte order mark (spreadsheets then open it as UTF-8), CR LF.
TExportResult WriteCsv(const TQuestionSet& set);

}  // namespace proctorium
