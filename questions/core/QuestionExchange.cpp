#include "questions/core/QuestionExchange.h"
#include "base/core/Ascii.h"
#include "base/core/Cp1252.h"
#include "base/core/UnicodeText.h"

#include "questions/core/AikenFormat.h"
#include "questions/core/CsvFormat.h"
#include "questions/core/GiftFormat.h"

namespace proctorium {

namespace {

std::string MiB(unsigned long long bytes) { return std::to_string((bytes + (1u << 20) - 1) >> 20) + " MiB"; }

}  // namespace

std::string ReadImportFile(const std::string& fileName) {
  std::string bytes, error;
  switch (ReadRegularFile(fileName, MaxImportFileBytes, bytes, &error)) {
    case TReadResult::Ok:
      return bytes;
    case TReadResult::Missing:
      throw EFileError(fileName + ": no such file");
    case TReadResult::NotRegular:
      throw EFileError(fileName + ": not a regular file");
    case TReadResult::TooLarge:
      throw EFileError(fileName + ": larger than " + MiB(MaxImportFileBytes));
    case TReadResult::Failed:
      break;
  }
  throw EFileError("Cannot read file " + fileName + ": " + error);
}

void CheckSetSize(const std::string& fileName, const std::string& bytes) {
  if (bytes.size() > MaxSetFileBytes)
    throw EFileError(fileName + ": the questions need " + MiB(bytes.size()) + ", more than the " +
                     MiB(MaxSetFileBytes) + " a question set holds");
}

TExchangeFormat FormatOfFile(const std::string& fileName) {
  const size_t dot = fileName.rfind('.');
  const size_t slash = fileName.find_last_of("/\\");
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return TExchangeFormat::Unknown;
  std::string ext = fileName.substr(dot + 1);
  ext = LowerAscii(ext);
  if (ext == "qst") return TExchangeFormat::QuestionSet;
  if (ext == "txt") return TExchangeFormat::Aiken;
  if (ext == "gift") return TExchangeFormat::Gift;
  if (ext == "xml") return TExchangeFormat::MoodleXml;
  if (ext == "csv") return TExchangeFormat::Csv;
  if (ext == "pdf") return TExchangeFormat::Pdf;
  return TExchangeFormat::Unknown;
}

const char* FormatName(TExchangeFormat format) {
  switch (format) {
    case TExchangeFormat::QuestionSet:
      return "question set";
    case TExchangeFormat::Aiken:
      return "Aiken text";
    case TExchangeFormat::Gift:
      return "GIFT";
    case TExchangeFormat::MoodleXml:
      return "XML";
    case TExchangeFormat::Csv:
      return "CSV";
    case TExchangeFormat::Pdf:
      return "PDF";
    case TExchangeFormat::Unknown:
      break;
  }
  return "unknown";
}

TImportResult ImportQuestions(TExchangeFormat format, const std::string& bytes, const std::string& fileName, int room) {
  switch (format) {
    case TExchangeFormat::Aiken:
      return ReadAiken(bytes, fileName, room);
    case TExchangeFormat::Gift:
      return ReadGift(bytes, fileName, room);
    case TExchangeFormat::MoodleXml:
      return ReadMoodleXml(bytes, fileName, room);
    case TExchangeFormat::Csv:
      return ReadCsv(bytes, fileName, room);
    default:
      throw EImportError(fileName, 0, std::string("questions cannot be read from a ") + FormatName(format) + " file");
  }
}

TExportResult ExportQuestions(TExchangeFormat format, const TQuestionSet& set, const TExhibitReader& readExhibit) {
  switch (format) {
    case TExchangeFormat::Aiken:
      return WriteAiken(set);
    case TExchangeFormat::Gift:
      return WriteGift(set);
    case TExchangeFormat::MoodleXml:
      return WriteMoodleXml(set, readExhibit);
    case TExchangeFormat::Csv:
      return WriteCsv(set);
    default:
      return {};
  }
}

namespace {

// The file's own title or its name, in UTF-8.
std::string DescriptionOf(const TImportResult& result, const std::string& fileName) {
  std::string title = Trim(result.Title);
  if (title.empty()) {
    const size_t slash = fileName.find_last_of("/\\");
    title = slash == std::string::npos ? fileName : fileName.substr(slash + 1);
    const size_t dot = title.rfind('.');
    if (dot != std::string::npos && dot > 0) title = title.substr(0, dot);
  }
  return ComposeNfc(title);
}

}  // namespace

std::string ImportedDescription(const TImportResult& result, const std::string& fileName) {
  const std::string title = DescriptionOf(result, fileName);
  return result.Encoding == TTextEncoding::Utf8 ? title : Utf8ToCp1252(title);
}

bool DescribeFromImport(TQuestionSet& set, const TImportResult& result, const std::string& fileName) {
  if (set.LastIndex != 0 || result.Questions.empty()) return false;
  std::string& description = set.Questions[0].Text;
  if (!Trim(description).empty() && description.find("This set has no questions yet") == std::string::npos)
    return false;
  description = set.FromUtf8(DescriptionOf(result, fileName));
  return true;
}

TQuestionSet SetOfQuestions(const TImportResult& result, const std::string& description) {
  TQuestionSet set;
  set.Encoding = result.Encoding;
  TQuestion d;
  d.Text = description;
  set.Add(d);
  for (const TQuestion& q : result.Questions) set.Add(q);
  set.ProtectedSet = false;
  set.Current = 0;
  return set;
}

}  // namespace proctorium
