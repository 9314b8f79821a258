#pragma once
// The columns a teacher chose for tables from other tools, remembered by
// their header so the next file with the same header comes in without
// asking again. Kept as a small UTF-8 text file beside the options file,
// one header a line:
//   q=1 a=2,3,4,5 k=6<TAB>Frage<TAB>Antwort 1<TAB>...
// (columns counted from 1, then the header's cells).

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "questions/core/CsvFormat.h"

namespace proctorium {

class TCsvColumnMemory {
 public:
  // The file's text; lines that cannot be read are ignored.
  void Parse(const std::string& text);
  std::string Text() const;

  std::optional<TCsvColumns> Find(const std::vector<std::string>& header) const;
  // Replaces what was remembered for the same header.
  void Remember(const std::vector<std::string>& header, const TCsvColumns& columns);

  // Reads path (a missing file remembers nothing); Save writes through a
  // temporary file and throws EFileError when it cannot.
  void Load(const std::string& path);
  void Save(const std::string& path) const;

 private:
  std::vector<std::pair<std::vector<std::string>, TCsvColumns>> Entries_;
};

// The memory's file name in the program folder.
inline constexpr const char* CsvColumnsFileName = "CsvColumns.txt";

}  // namespace proctorium
