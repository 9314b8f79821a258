#pragma once
// Turning reviewed answer-sheet readings into saved tests. A candidate's
// sheets are scored with the key of the version they were printed as, mapped
// back to the set's own question and answer order, and written as a test
// saved on screen writes them: the results log's three lines, the detail
// log's records and a gradebook line, all as one unit, and with them a line
// per page in the ledger of scored pages so that no page is scored twice.
//
// The job holds the key every version was printed with, so sheets are
// scored from the job even when the set has been edited since: the answers
// on paper were given to the questions as printed. The logs then carry the
// job's fingerprint, which keeps these results apart from those of the
// edited set in the statistics.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "candidates/core/ClassList.h"
#include "candidates/core/Gradebook.h"
#include "paper/core/PageReading.h"
#include "paper/core/PaperJob.h"
#include "session/core/DetailLog.h"

namespace proctorium {

// Beside the other logs in the Tests folder; UTF-8, one line per scored page.
inline constexpr const char* PaperLedgerRelative = "tests\\paper-scored.txt";

// The gradebook's Source and Ended for a test handed in on paper. The timer
// column stays "Elapsed" with no time taken: readers that know only the two
// timer texts keep reading the line.
inline constexpr const char* SourcePaper = "Paper";
inline constexpr const char* EndedOnPaper = "Paper";

// One candidate's sheets of one version: indexes into the batch's pages, in
// sheet order.
struct TPaperScript {
  char Version = 'A';
  std::string CandidateId;  // empty when the sheets carry no ID grid
  std::vector<std::size_t> Pages;
};

// A page, or a candidate's sheets, that is not scored, and why.
struct TPaperProblem {
  std::vector<std::size_t> Pages;
  std::string Reason;
};

struct TPaperBatch {
  std::vector<TPaperScript> Scripts;
  std::vector<TPaperProblem> Problems;
};

// Sorts a batch into candidates. A failed page is left out with its reason.
// Sheets after the first carry no ID grid: one goes with the nearest first
// sheet of the same version read before it, unless it has an ID of its own
// (typed in the review). A candidate whose sheets are not all there, a page
// of another job, or a second script for the same candidate ID is listed as
// a problem, not scored.
TPaperBatch SortPaperBatch(const TPaperJob& job, const std::vector<TPageReading>& pages);

// Why a script cannot be scored as it stands (a doubtful box, an ID that
// was not read), or nothing when it can.
std::optional<std::string> PaperScriptProblem(const TPaperJob& job, const std::vector<TPageReading>& pages,
                                              const TPaperScript& script);

// What one save needs besides the sheets.
struct TPaperSaveContext {
  std::string Date;      // the results log's date, as the screen writes it (Windows-1252)
  std::string DateTime;  // "YYYY-MM-DD HH:MM:SS", local
  std::vector<TCandidate> ClassList;
  int PassMark = 0;  // per cent, 0 for none
};

// One script scored: everything the logs get for it.
struct TPaperScore {
  std::uint32_t JobId = 0;
  std::string CandidateId, CandidateName;
  char Version = 'A';
  TScore Score;
  std::vector<std::string> ResultLines;  // Windows-1252, as the results log holds them
  TDetailTest Detail;
  TGradebookEntry Entry;
  struct TPage {
    int Sheet = 1;
    std::uint64_t ImageHash = 0;
  };
  std::vector<TPage> Pages;
};

// Scores a script; throws std::invalid_argument with PaperScriptProblem's
// reason when it cannot be scored. The candidate's name comes from the
// class list when the ID is listed there.
TPaperScore ScorePaperScript(const TPaperJob& job, const std::vector<TPageReading>& pages, const TPaperScript& script,
                             const TPaperSaveContext& context);

// The response to one printed row in the set's answer letters (bit i for
// the set's answer i), and whether it is right: every correct slot marked
// and no other, as on screen.
struct TPaperAnswer {
  AnswerMask Response = 0;
  AnswerMask Correct = 0;  // the set's correct answers
  AnswerMask Offered = 0;
  bool Right = false;
};
TPaperAnswer MapPaperAnswer(const TPaperQuestion& question, const std::vector<TBoxMark>& boxes);

// The ledger of scored pages.
struct TLedgerEntry {
  std::uint32_t JobId = 0;
  char Version = 'A';
  int Sheet = 1;
  std::uint64_t ImageHash = 0;  // 0 when not known
  std::string CandidateId;
  std::string DateTime;
  std::string TestId;
  bool operator==(const TLedgerEntry&) const = default;
};
std::string LedgerHeader();  // the file's first line, with its line break
std::string LedgerLine(const TLedgerEntry& entry);
// Lines that are not entries (the header, a torn line) are passed over.
std::vector<TLedgerEntry> ParseLedger(std::string_view bytes);
// Why a page was scored already, or nothing: the same job, version, sheet
// and candidate ID, or the same image.
std::optional<std::string> LedgerConflict(const std::vector<TLedgerEntry>& ledger, const TLedgerEntry& page);

// A content hash of a page's pixels (FNV-1a, 64 bits); never 0.
std::uint64_t PaperContentHash(std::string_view bytes, std::uint64_t seed = 0);

struct TPaperLogPaths {
  std::string Results, Detail, Gradebook, Ledger, Journal;
};

struct TPaperSaveReport {
  int Saved = 0;
  // Per script not saved, in order: who and why.
  std::vector<std::string> Refused;
};

// Saves the scores under the results log's lock, from what is on disk now:
// each one as one unit (results log, detail log, ledger, gradebook), unless
// the ledger says one of its pages was scored before. Throws EFileError when
// the lock cannot be had or a log cannot be written; what was saved before
// then stays saved.
TPaperSaveReport SavePaperScores(const TPaperLogPaths& paths, int lockWaitMs, const std::vector<TPaperScore>& scores);

}  // namespace proctorium
