#pragma once
// An exclusive lock on a file shared by several running copies of the
// program, held for the life of the object.

#include <string>

namespace proctorium {

class TFileLock {
 public:
  // Waits up to timeoutMs for the lock; throws EFileError naming the file
  // when it cannot be had.
  TFileLock(const std::string& path, int timeoutMs);
  ~TFileLock();
  TFileLock(const TFileLock&) = delete;
  TFileLock& operator=(const TFileLock&) = delete;

 private:
#ifdef _WIN32
  void* Handle_ = nullptr;
#else
  int Fd_ = -1;
#endif
};

}  // namespace proctorium
