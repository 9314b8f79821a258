#pragma once
// The detail log: one CSV record per question seen in each saved test, kept
// beside the results log so that the answers can be analysed question by
// question. The results log itself stays as it always was.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "questions/core/QuestionSet.h"
#include "session/core/TestSession.h"

namespace proctorium {

// Beside the results log in the Tests folder.
inline constexpr const char* DetailLogRelative = "tests\\results-detail.csv";

// One saved test as the detail log holds it.
struct TDetailTest {
  std::string DateTime;  // local time of the save, "2026-12-07 08:12:05"
  std::string TestId;    // tells the tests apart, even two saved in the same second
  std::string SetFile;   // file name without folder, UTF-8
  std::uint64_t Fingerprint = 0;
  int QuestionsInSet = 0;
  std::vector<TQuestionOutcome> Outcomes;  // ascending question numbers
  // Who took the test, as typed (UTF-8); empty when nobody was asked, and in
  // records written before the log had these columns.
  std::string CandidateName{};
  std::string CandidateId{};
  // What the score was out of: "seen" (the questions shown, the default
  // rule) or "all" (every question of the test; unseen ones count as wrong).
  // Empty in older records, which mean "seen".
  std::string ScoreRule{};

  bool operator==(const TDetailTest&) const = default;
};

// Identifies the questions as a taker meets them: text, kind, answers,
// correct answers and exhibit name of questions 1..LastIndex (FNV-1a, 64
// bits, strings length-prefixed as the set file stores them). Remarks, the
// shuffle flags and the description are left out, so correcting a comment
// does not break a series of results while changing an answer does.
std::uint64_t SetFingerprint(const TQuestionSet& set);
std::string FingerprintText(std::uint64_t fingerprint);  // 16 hex digits

// "AC" for a mask with answers A and C; empty for no answer.
std::string MaskLetters(AnswerMask mask);

// A fresh random id for a saved test.
std::string NewTestId();

// The first line of the file, without the byte order mark. A file started
// before the candidate columns existed has the ten-column header; records
// of both widths are read from either.
std::string_view DetailLogHeader();

// The bytes to append for one test. For a file that is still empty they
// start with the byte order mark and the header.
std::string DetailLogRecords(const TDetailTest& test, bool fileIsEmpty);

// Appends the test's records to the detail log at path, with the header
// when the file is new or empty. The caller holds the results log's lock,
// so the records of tests saved at the same time never mix. Throws EFileError.
void AppendDetailLog(const std::string& path, const TDetailTest& test);

// Lines of a detail log that could not be read: how many, and where.
struct TSkippedLines {
  static constexpr std::size_t Kept = 5;
  int Count = 0;
  std::vector<int> First;  // line numbers (from 1) of the first Kept of them
  void Add(int line);
  bool operator==(const TSkippedLines&) const = default;
};

// Reads a detail log piece by piece and hands on each test as soon as its
// records are complete, so a log of any size is read without holding it
// (or all its records) in memory. A record is one line. Lines that cannot
// be read (a line torn by a crash, a foreign line, a repeated question) are
// passed over one by one and counted with their line numbers; a torn line
// never takes the following records with it.
//
// The records of one test are written together under the log's lock, so a
// test is complete once a few others have started after it. Records of a
// test met again after that are skipped rather than counted as a second
// test of the same taker.
class TDetailLogReader {
 public:
  // Receives each test and the line of its first record.
  using TSink = std::function<void(TDetailTest&& test, int firstLine)>;
  explicit TDetailLogReader(TSink sink);
  ~TDetailLogReader();
  TDetailLogReader(const TDetailLogReader&) = delete;
  TDetailLogReader& operator=(const TDetailLogReader&) = delete;

  // The bytes of the file in order, in pieces of any size.
  void Feed(std::string_view bytes);
  // Hands on the tests still open; call once after the last piece.
  void Finish();
  const TSkippedLines& Skipped() const { return Skipped_; }

  // Tests whose records lie this far apart (in tests started in between)
  // are not joined any more.
  static constexpr std::size_t OpenTests = 32;
  // A line longer than this is no record of this log.
  static constexpr std::size_t LongestLine = std::size_t{64} * 1024;

 private:
  struct TOpen;
  void Lines(std::string_view lines);
  void Record(const std::vector<std::string_view>& f, int line);
  void Close(std::size_t index);

  TSink Sink_;
  TSkippedLines Skipped_;
  std::string Carry_;  // a line begun in an earlier piece
  bool CarryTooLong_ = false;
  bool Started_ = false;
  int LineBase_ = 0;
  std::vector<TOpen> Open_;
  std::unordered_set<std::uint64_t> Closed_;
  std::string Key_;
};

// Reads a whole detail log into its tests, in order of first appearance.
// Records that cannot be read are passed over and counted in skipped.
std::vector<TDetailTest> ReadDetailLog(std::string_view bytes, int* skipped = nullptr);

}  // namespace proctorium
