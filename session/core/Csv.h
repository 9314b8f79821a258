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

// Reads records one by one. Quoted fields may hold commas, doubled quotes
// and line breaks; a leading byte order mark is skipped.
class TCsvReader {
 public:
  explicit TCsvReader(std::string_view bytes);
  // False at the end. Fields are unquoted; an empty line gives one empty field.
  bool Next(std::vector<std::string_view>& fields);

 private:
  std::string_view Bytes_;
  std::size_t Pos_ = 0;
  // Fields that had to be unquoted, kept until the next call; a deque, so
  // the views handed out stay valid while it grows.
  std::deque<std::string> Unquoted_;
};

}  // namespace proctorium
