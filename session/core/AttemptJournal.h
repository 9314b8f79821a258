#pragma once
// A test in progress, kept on disk so that a crash, a kill or a power cut
// does not lose it. Each running instance owns one journal file in the
// attempts folder, rewritten whole and atomically after every change, and
// holds the lock of a companion ".lock" file while it lives: the system
// drops that lock when the process dies, which is how any seat tells an
// unfinished attempt from one still being taken.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/core/FileLock.h"
#include "questions/core/QuestionSet.h"
#include "session/core/TestSession.h"

namespace proctorium {

// Below the Tests folder, shared by every seat.
inline constexpr const char* AttemptsRelative = "tests\\attempts\\";

struct TAttemptQuestion {
  int Question = 0;
  std::array<std::uint8_t, AnswerCount> AnswerOrder{};  // all 0 until first shown
  AnswerMask Response = 0;
  bool Seen = false;
  bool Marked = false;

  bool operator==(const TAttemptQuestion&) const = default;
};

struct TAttempt {
  std::string SetFile;  // file name without folder, UTF-8
  std::uint64_t Fingerprint = 0;
  std::string CandidateName;  // UTF-8; empty when nobody was asked
  std::string CandidateId;
  std::string Started;  // local time, "2026-12-07 09:01:12"
  int SecondsUsed = 0;
  int CurrentPosition = 1;
  int FocusLosses = 0;
  bool ScoreAll = false;
  bool Ended = false;                       // End Test was pressed; only the save was missing
  std::vector<int> Order;                   // question numbers in the order they are asked
  std::vector<TAttemptQuestion> Questions;  // the questions of the test, in set order

  bool operator==(const TAttempt&) const = default;

  int Answered() const;
};

std::string EncodeAttempt(const TAttempt& attempt);
// Throws EFileError naming the file when the record is incomplete or damaged.
TAttempt DecodeAttempt(const std::string& bytes, const std::string& fileName);

// The state of a running test, and back. Restore starts session on set and
// puts back the order, the answer orders, the answers and the marks.
TAttempt CaptureAttempt(const TTestSession& session);
void RestoreAttempt(const TAttempt& attempt, const TQuestionSet& set, TTestSession& session);

// This instance's journal.
class TAttemptJournal {
 public:
  // Creates the folder if need be and takes a fresh name in it. Throws
  // EFileError when the folder cannot be written.
  explicit TAttemptJournal(const std::string& folder);
  // Removes the journal: a finished or discarded attempt leaves nothing.
  ~TAttemptJournal();
  TAttemptJournal(const TAttemptJournal&) = delete;
  TAttemptJournal& operator=(const TAttemptJournal&) = delete;

  // Atomic: after a crash the file holds this attempt or the one before.
  void Write(const TAttempt& attempt);
  const std::string& Path() const { return Path_; }

 private:
  std::string Path_;
  std::string LockPath_;
  std::unique_ptr<TFileLock> Lock_;
};

// An attempt whose instance is gone. While this object lives its lock is
// held, so no other seat resumes or ends the same attempt meanwhile.
struct TUnfinishedAttempt {
  std::string Path;
  TAttempt Attempt;
  std::shared_ptr<TFileLock> Lock;
};

// The unfinished attempts in folder, oldest first; journals that cannot be
// read are passed over and counted in damaged.
std::vector<TUnfinishedAttempt> FindUnfinishedAttempts(const std::string& folder, int* damaged = nullptr);
// Removes its journal and lock file.
void RemoveAttempt(TUnfinishedAttempt& attempt);

}  // namespace proctorium
