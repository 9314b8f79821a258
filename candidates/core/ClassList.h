#pragma once
// The class list: who may take tests, one candidate a line ("ID, name"), as
// a teacher exports it from a spreadsheet or types it. The administrator
// loads it into the Tests folder; the candidate dialog offers its names.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace proctorium {

// In the Tests folder, stored as UTF-8 CSV with a header.
inline constexpr const char* ClassListRelative = "tests\\classlist.csv";

// Longest name or ID a candidate can give, in characters.
constexpr int MaxCandidateChars = 60;

struct TCandidate {
  std::string Id;    // UTF-8, trimmed
  std::string Name;  // UTF-8, trimmed

  bool operator==(const TCandidate&) const = default;
};

struct TClassListProblem {
  int Line = 0;  // 1-based line of the file read
  std::string Reason;

  bool operator==(const TClassListProblem&) const = default;
};

struct TClassList {
  std::vector<TCandidate> Candidates;
  std::vector<TClassListProblem> Problems;  // lines passed over, with why
  bool HadHeader = false;
};

// Reads a class list as a teacher gives it: CSV (quoted fields allowed) or
// plain text, one "ID, name" a line (a tab or a semicolon also separates
// them; further fields are taken as part of the name, "12, Smith, John"),
// UTF-8 with or without a byte order mark or else Windows-1252, a header
// line recognised and passed over, blank lines ignored. A line without an
// ID or a name, with one too long, or with an ID already listed is passed
// over and reported.
TClassList ParseClassList(std::string_view bytes);

// Far beyond any class: a larger file is not a class list.
constexpr std::uintmax_t MaxClassListBytes = 4u << 20;

// Reads and parses a class list file. A missing file gives an empty list;
// one that cannot be read (not a regular file, too large, unreadable) an
// empty list and the reason in problem ("Cannot open file <path>: ...").
TClassList ReadClassListFile(const std::string& path, std::string* problem);

// The file the program keeps: byte order mark, header "ID,Name", CR LF.
std::string ClassListFileBytes(const std::vector<TCandidate>& candidates);

// "Loaded 28 candidates; 2 lines were skipped:\nLine 4: ..." for the
// administrator to accept or refuse before anything is stored.
std::string ClassListSummary(const TClassList& list);

// Characters (code points) of UTF-8 text.
int Utf8Length(std::string_view utf8);

// Removes leading and trailing white space, also Unicode's (no-break space,
// ideographic space), from UTF-8 text.
std::string TrimUtf8(std::string_view utf8);

}  // namespace proctorium
