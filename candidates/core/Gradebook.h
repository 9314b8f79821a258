#pragma once
// The gradebook: one CSV record per saved test, saying who took which set,
// when, how long it took and how it went. UTF-8 with a byte order mark and
// CR LF line ends, so a spreadsheet opens it as it is. It lies beside the
// results log and is appended to under the same lock, after the results log
// and the detail log: a test id in the gradebook means the save was whole.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace proctorium {

// Beside the results log in the Tests folder.
inline constexpr const char* GradebookRelative = "tests\\gradebook.csv";

// The texts of the fixed-choice columns, as written.
inline constexpr const char* TimerCountdown = "Countdown";
inline constexpr const char* TimerElapsed = "Elapsed";
inline constexpr const char* EndedEarly = "Early";     // the candidate chose End Test
inline constexpr const char* EndedTimeUp = "Time up";  // the countdown ran out
inline constexpr const char* ResultPassed = "Passed";
inline constexpr const char* ResultNotPassed = "Not passed";
inline constexpr const char* ScoreRuleSeen = "seen";  // out of the questions shown
inline constexpr const char* ScoreRuleAll = "all";    // out of every question of the test
inline constexpr const char* SourceScreen = "Screen";

struct TGradebookEntry {
  std::string DateTime;       // local time of the save, "2026-12-07 08:12:05"
  std::string CandidateName;  // as typed, UTF-8; empty when nobody was asked
  std::string CandidateId;    // UTF-8
  std::string SetFile;        // file name without folder, UTF-8
  std::uint64_t Fingerprint = 0;
  int QuestionsSeen = 0;
  int QuestionsInSet = 0;
  int Correct = 0;
  int Percent = 0;  // the whole per cent the results log shows
  int SecondsTaken = 0;
  std::string Timer = TimerElapsed;
  std::string Ended = EndedEarly;
  std::string Result{};  // ResultPassed, ResultNotPassed, or empty without a pass mark
  std::string TestId;    // the detail log's "Test" of the same save
  std::string ScoreRule = ScoreRuleSeen;
  int FocusLost = -1;  // times the test window lost the focus; -1 when not counted
  std::string Source = SourceScreen;

  bool operator==(const TGradebookEntry&) const = default;
};

// The first line of the file, without the byte order mark.
std::string_view GradebookHeader();

// ResultPassed or ResultNotPassed for a score against a pass mark of 1 to
// 100 per cent; empty without a pass mark (0).
std::string PassResult(int percent, int passMark);

// What a new file starts with: the byte order mark and the header line.
std::string GradebookFileStart();

// "h:mm:ss", hours not wrapped at a day; and back (-1 when it is not one).
std::string GradebookTime(int seconds);
int ParseGradebookTime(std::string_view text);

// The bytes to append for one test: one line. For a file that is still
// empty they start with the byte order mark and the header. Texts go
// through CsvText, so a name can neither break the line nor run as a
// spreadsheet formula.
std::string GradebookRecord(const TGradebookEntry& entry, bool fileIsEmpty);

// Appends the entry to the gradebook at path, with the header when the file
// is new or empty. The caller holds the results log's lock. Throws EFileError.
void AppendGradebook(const std::string& path, const TGradebookEntry& entry);

struct TGradebookRow {
  int Line = 0;  // 1-based line of the file
  TGradebookEntry Entry;
};

struct TGradebookFile {
  std::vector<TGradebookRow> Rows;  // in the order of the file
  std::vector<int> SkippedLines;    // lines that are not a record (torn, foreign)
};

// One line's record as read, without a copy: the texts point into the line
// or, for the rare quoted text with doubled quotes, into scratch. Texts are
// as stored, with the formula guard CsvText added already taken off.
struct TGradebookFields {
  std::string_view DateTime, CandidateName, CandidateId, SetFile, Timer, Ended, Result, TestId, ScoreRule, Source;
  std::uint64_t Fingerprint = 0;
  int QuestionsSeen = 0, QuestionsInSet = 0, Correct = 0, Percent = 0, SecondsTaken = 0, FocusLost = -1;
};

enum class TGradebookLine { Record, Blank, Header, Damaged };

// Reads one line (its end taken off). scratch is overwritten and must stay
// untouched while the texts are used. What the whole-file reader and the
// class view both read lines with, so they accept the same lines.
TGradebookLine ParseGradebookLine(std::string_view line, TGradebookFields& out, std::string& scratch);
TGradebookEntry GradebookEntryOf(const TGradebookFields& fields);

// Reads a whole gradebook. Every record is one line, so a line torn by a
// crash or written by something else costs that line only; header lines
// and blank lines are passed over without counting. Columns added after
// the last known one are ignored, so older programs read newer files.
TGradebookFile ReadGradebook(std::string_view bytes);

}  // namespace proctorium
