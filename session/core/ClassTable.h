#pragma once
// The class at a glance: the gradebook's saved tests as a table a teacher
// sorts and filters, with each candidate's latest attempt at each set
// marked. Rows are kept as read; sorting and filtering only rearrange an
// index of them, so a gradebook of a hundred thousand tests filters within
// a frame.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
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
  // Reads a gradebook file as it is on disk. The bytes are kept and the
  // rows point into them, so a hundred thousand tests cost one allocation
  // for the file and a few for the index, not one per field.
  void Load(std::string bytes);
  // The same for entries already read (saves them as the file would hold them).
  void Assign(const std::vector<TGradebookEntry>& entries);

  static std::string ColumnTitle(int column);

  std::size_t EntryCount() const { return Rows_.size(); }
  // Lines of the file that were not a record (torn, foreign).
  std::size_t SkippedCount() const { return Skipped_; }
  TGradebookEntry Entry(std::size_t entry) const;
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
  // equal rows keep the gradebook's order. Without a column, the
  // gradebook's order, or descending the newest first.
  void Sort(int column, bool ascending);

  // The entries shown, in the order shown.
  const std::vector<std::uint32_t>& Shown() const { return Shown_; }

  // The rows shown, as a CSV file for a spreadsheet (UTF-8 with a byte order
  // mark, every text neutralised against formulas).
  std::string Csv() const;

 private:
  // A text of the file (or, with the top bit set, of Extra_): offset and size.
  struct TSpan {
    std::uint32_t At = 0, Size = 0;
  };
  enum TText : int { TxDate, TxName, TxId, TxSet, TxTimer, TxEnded, TxResult, TxTest, TxScoreRule, TxSource, TxCount };
  struct TRow {
    TSpan Text[TxCount];
    TSpan SetKey, CandidateKey;  // in Keys_
    std::uint64_t Fingerprint = 0;
    std::int32_t Seen = 0, InSet = 0, Correct = 0, Percent = 0, Seconds = 0, FocusLost = -1;
  };

  std::string_view View(TSpan s) const;
  std::string_view Text(std::size_t entry, TText t) const { return View(Rows_[entry].Text[t]); }
  std::string_view SetKey(std::size_t entry) const;
  std::string_view CandidateKey(std::size_t entry) const;
  long long Number(std::size_t entry, int column) const;
  void MarkLatest();
  void Refilter(bool narrowing);

  std::string Bytes_;  // the file as read
  std::string Extra_;  // texts that had to be unquoted
  std::string Keys_;   // set files and candidates in lower case, for filters
  std::vector<TRow> Rows_;
  std::size_t Skipped_ = 0;
  std::vector<char> Latest_;
  std::vector<std::uint32_t> Order_;  // every entry, sorted
  std::vector<std::uint32_t> Shown_;  // Order_ filtered
  std::string SetFilter_, CandidateFilter_;
};

}  // namespace proctorium
