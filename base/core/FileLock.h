#pragma once
// An exclusive lock on one file, held for the life of the object. Seats
// that share a program folder take it before they add to a file that all of
// them write, so appends never interleave and never work from a stale copy.

#include <string>

#include "base/core/FileIO.h"

namespace proctorium {

class TFileLock {
 public:
  // Opens path (creating an empty file if it is missing) and waits up to
  // timeoutMs for the lock (a negative timeoutMs: as long as it takes). Throws EFileError naming the file when the file
  // cannot be opened or another process keeps the lock that long.
  TFileLock(const std::string& path, int timeoutMs);
  // For a file that is replaced by renaming a new one over it (a question
  // set): a lock on the file a seat opened just before the rename guards
  // nothing, so after locking, the file under the path is checked to be the
  // one locked, and the lock is taken again on the new one until they agree.
  enum class TFollow { Replacements };
  TFileLock(const std::string& path, int timeoutMs, TFollow);
  ~TFileLock();
  TFileLock(const TFileLock&) = delete;
  TFileLock& operator=(const TFileLock&) = delete;

  const std::string& Path() const { return Path_; }

 private:
  void Lock(int timeoutMs, bool followReplacements);

  std::string Path_;
#ifdef _WIN32
  void* Handle_ = nullptr;
#else
  int Fd_ = -1;
#endif
};

// How long a seat waits for another seat's lock before it gives up.
constexpr int SharedFileLockTimeoutMs = 5000;

enum class TReplaceResult { Replaced, Changed };

// The file ReplaceFileIfUnchanged locks: fileName itself, or on Windows,
// where a file held open cannot be renamed over, one lock file in its folder.
std::string ReplaceLockPath(const std::string& fileName);

// Replaces fileName with bytes (through WriteFileAtomic) only if it still
// holds expected, or is missing or empty; check and replace happen under
// one lock on the file, so of two seats that opened the same contents only
// the first replaces it and the second gets Changed. A file that is no
// regular file or is larger than maxBytes counts as changed. Throws
// EFileError when the file cannot be locked, read or written.
TReplaceResult ReplaceFileIfUnchanged(const std::string& fileName, const std::string& expected,
                                      const std::string& bytes, unsigned long long maxBytes, int timeoutMs);

}  // namespace proctorium
