#pragma once
// The exchange formats by file extension, for the editor and the converter.

#include <string>

#include "questions/core/ImportResult.h"
#include "questions/core/MoodleXmlFormat.h"

namespace proctorium {

enum class TExchangeFormat { Unknown, QuestionSet, Aiken, Gift, MoodleXml, Csv, Pdf };

// By the extension, in any letter case: .qst .txt .gift .xml .csv .pdf.
TExchangeFormat FormatOfFile(const std::string& fileName);
// "Aiken text", "GIFT", ...
const char* FormatName(TExchangeFormat format);

// The most an import file may hold: room for 250 questions with their
// pictures carried inside, many times over; a larger file is refused
// before a byte of it is parsed.
constexpr unsigned long long MaxImportFileBytes = 32ull << 20;

// The bytes of an import file: only a regular file (a link to one counts)
// of at most MaxImportFileBytes, read no further than that. Throws
// EFileError "<file>: not a regular file", "<file>: larger than 32 MiB",
// "<file>: no such file" or "Cannot read file <file>: <reason>".
std::string ReadImportFile(const std::string& fileName);

// Throws EFileError "<file>: the questions need <n> MiB, more than the 16
// MiB a question set holds" when bytes (a set's file image) is larger than
// any set the program opens, so such a set is never written.
void CheckSetSize(const std::string& fileName, const std::string& bytes);

// Reads questions from a file image in one of the text formats, no more
// than room of them (-1: all; see TImportResult::Room).
// Throws EImportError (also for a format that cannot be read).
TImportResult ImportQuestions(TExchangeFormat format, const std::string& bytes, const std::string& fileName,
                              int room = -1);
// Writes the questions of set in one of the text formats.
TExportResult ExportQuestions(TExchangeFormat format, const TQuestionSet& set, const TExhibitReader& readExhibit);

// The description of a new set made from a file: the file's own title (its
// category) or else the file name without folder and extension, in the
// result's encoding ("?" for what Windows-1252 lacks).
std::string ImportedDescription(const TImportResult& result, const std::string& fileName);

// Gives a set that holds no questions yet, and whose description is empty
// or still the new-set template's text, the description of the file its
// first questions come from (see ImportedDescription): candidates would
// otherwise read the template's instructions to the teacher. True when it
// did.
bool DescribeFromImport(TQuestionSet& set, const TImportResult& result, const std::string& fileName);

// A new set holding imported questions, in their encoding: the description
// (in that encoding) names where they came from; not protected, no owner.
TQuestionSet SetOfQuestions(const TImportResult& result, const std::string& description);

}  // namespace proctorium
