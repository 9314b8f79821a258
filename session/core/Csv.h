#pragma once
// Comma-separated values as spreadsheets read them: UTF-8, CR LF between
// records, fields quoted when they hold a comma, a quote or a line break.

#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace proctorium {

// Marks the file as UTF-8 for spreadsheets that otherwise guess the code page.
inline constexpr std::string_view Utf8Bom = "\xEF\xBB\xBF";

// A text field. Control characters become blanks, and a text that a
// spreadsheet would take for a formula (leading = + - @) or that begins with
// an apostrophe gets a leading apostrophe; CsvTextValue undoes that.
std::string CsvText(std::string_view utf8);
std::string CsvTextValue(std::string_view field);

// A number with a decimal point whatever the user's locale, at most
// `decimals` places, trailing zeros dropped.
std::string CsvNumber(double value, int decimals = 3);

// Appends the fields (already made with CsvText or CsvNumber, or plain
// digits) as one record ended by CR LF.
void AppendCsvRecord(std::string& out, const std::vector<std::string>& fields);

// Reads records one by one, one record per line. The files this program
// writes never break a line inside a field (CsvText turns line breaks into
// blanks), so a quote still open at the end of a line means the line was
// torn (a crash in the middle of a save, a cut copy): the record ends there
// and is marked torn, and the next line is read as the next record instead
// of being swallowed into the open field. Quoted fields may hold commas and
// doubled quotes; a leading byte order mark is skipped.
class TCsvReader {
 public:
  explicit TCsvReader(std::string_view bytes);
  // False at the end. Fields are unquoted; an empty line gives one empty field.
  bool Next(std::vector<std::string_view>& fields);
  // The record last read ended inside a quoted field.
  bool Torn() const { return Torn_; }
  // The line number (from 1) of the record last read.
  int Line() const { return Line_; }

 private:
  std::string_view Bytes_;
  std::size_t Pos_ = 0;
  int Line_ = 0;
  bool Torn_ = false;
  // Fields that had to be unquoted, kept until the next call; a deque, so
  // the views handed out stay valid while it grows.
  std::deque<std::string> Unquoted_;
};

}  // namespace proctorium
