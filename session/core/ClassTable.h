#pragma once
// The class at a glance: the gradebook's saved tests as a table a teacher
// sorts and filters, with each candidate's latest attempt at each set
// marked. Rows are kept as read; sorting and filtering only rearrange an
// index of them, so a gradebook of a hundred thousand tests filters within
// a frame.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "candidates/core/Gradebook.h"

namespace proctorium {

// The columns shown: the mark of the latest attempt, then the gradebook's.
enum TClassColumn : int {
  ClassLatest,
  ClassDateTime,
  ClassName,
  ClassId,
  ClassSet,
  ClassFingerprint,
  ClassSeen,
  ClassInSet,
  ClassCorrect,
  ClassPercent,
  ClassTime,
  ClassTimer,
  ClassEnded,
  ClassResult,
  ClassTest,
  ClassScoreRule,
  ClassFocusLost,
  ClassSource,
  ClassColumnCount
};

// The text the latest attempt's column shows, so the mark is read, not
// only seen as a colour.
inline constexpr const char* LatestMark = "Latest";

class TClassTable {
 public:
  void Assign(std::vector<TGradebookEntry> entries);

  static std::string ColumnTitle(int column);

  std::size_t EntryCount() const { return Entries_.size(); }
  const TGradebookEntry& Entry(std::size_t entry) const { return Entries_[entry]; }
  // Whether no later test of the same candidate at the same set follows in
  // the gradebook. Tests nobody was asked a name for are never marked.
  bool Latest(std::size_t entry) const { return Latest_[entry] != 0; }
  // The cell's text (UTF-8) as shown and exported.
  std::string Cell(std::size_t entry, int column) const;

  // Shows the rows whose set file contains set and whose candidate name or
  // ID contains candidate, ignoring the case of ASCII letters; empty texts
  // show every row.
  void SetFilter(const std::string& set, const std::string& candidate);
  // Orders the rows by a column (numbers as numbers, times by length);
  // equal rows keep the gradebook's order.
  void Sort(int column, bool ascending);

  // The entries shown, in the order shown.
  const std::vector<std::uint32_t>& Shown() const { return Shown_; }

  // The rows shown, as a CSV file for a spreadsheet (UTF-8 with a byte order
  // mark, every text neutralised against formulas).
  std::string Csv() const;

 private:
  void Refilter();

  std::vector<TGradebookEntry> Entries_;
  std::vector<char> Latest_;
  std::vector<std::string> SetKey_;        // set file, lower case
  std::vector<std::string> CandidateKey_;  // name and ID, lower case
  std::vector<std::uint32_t> Order_;       // every entry, sorted
  std::vector<std::uint32_t> Shown_;       // Order_ filtered
  std::string SetFilter_, CandidateFilter_;
};

}  // namespace proctorium
