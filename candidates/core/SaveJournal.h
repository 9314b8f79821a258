#pragma once
// Saving a test adds to three logs: the results log, the detail log and the
// gradebook. A kill between two of those appends would leave the logs
// disagreeing, so a save goes through a journal, all under the results
// log's lock:
//   1. a save that an earlier kill cut short is completed first;
//   2. the journal is written and flushed, with a checksum, holding for each
//      log its size now and the bytes to add (a journal cut short by a kill
//      fails its checksum and is dropped: nothing was appended yet);
//   3. the bytes are appended to each log in turn, the gradebook last;
//   4. the journal is removed.
// Completing a save cuts each log back to the size the journal holds and
// appends the bytes again, which gives the same file however far the killed
// save had come. So after any kill a test is in every log (the journal was
// in place) or in none (it was not). The results window also completes a
// cut-short save when it opens, so the logs agree before anyone reads them.

#include <functional>
#include <string>
#include <vector>

namespace proctorium {

// Beside the logs in the Tests folder.
inline constexpr const char* SaveJournalRelative = "tests\\results-save.journal";

// What one save adds to one log. The log must lie in the journal's folder.
struct TLogAddition {
  std::string Path;
  std::string Bytes;
  // Written before Bytes when the log is missing or empty (a header).
  std::string HeaderIfEmpty{};
};

// Adds every addition as one unit, after completing any cut-short save. A
// single addition is appended without a journal.
// The caller holds the results log's lock. A log that is a symbolic link or
// not a regular file is refused (RefuseLinkedLog) before anything is
// written. Throws EFileError. journalled tells the caller whether the save
// was already in the journal when it failed: then the next save (or the
// results window) completes it, and it must not be offered again.
void AppendAsOneUnit(const std::string& journalPath, const std::vector<TLogAddition>& additions,
                     bool* journalled = nullptr);

// Empties the logs as one unit, after completing any cut-short save, so
// the three logs that record the same tests are never left with a test in
// one and not in another: a kill part-way leaves the journal, and the next
// save or the results window empties the rest. Logs that do not exist are
// not created. The caller holds the results log's lock. Throws EFileError.
void ClearAsOneUnit(const std::string& journalPath, const std::vector<std::string>& logs);

// Completes the save a kill cut short, if any; true when there was one. A
// journal that cannot be read (damaged by hand) is removed and the logs are
// left as they are. The caller holds the results log's lock. Throws
// EFileError when a log cannot be written; the journal then stays.
bool CompleteInterruptedSave(const std::string& journalPath);

// A seam for tests: called in AppendAsOneUnit once the journal is written
// (step 0) and after each log is appended (step 1, 2, ...). A hook that
// throws stops the save there, as a kill would.
void SetSaveStepHook(std::function<void(int step)> hook);

}  // namespace proctorium
