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
  ~TFileLock();
  TFileLock(const TFileLock&) = delete;
  TFileLock& operator=(const TFileLock&) = delete;

  const std::string& Path() const { return Path_; }

 private:
  std::string Path_;
#ifdef _WIN32
  void* Handle_ = nullptr;
#else
  int Fd_ = -1;
#endif
};

// How long a seat waits for another seat's lock before it gives up.
constexpr int SharedFileLockTimeoutMs = 5000;

}  // namespace proctorium
