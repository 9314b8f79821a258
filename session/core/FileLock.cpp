#include "session/core/FileLock.h"

#include <chrono>
#include <thread>

#include "app/core/FileIO.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace proctorium {

TFileLock::TFileLock(const std::string& path, int timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
#ifdef _WIN32
  HANDLE h = CreateFileW(ToFsPath(path).c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                         nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) throw EFileError("Cannot open file " + path);
  for (;;) {
    OVERLAPPED o{};
    if (LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD, MAXDWORD, &o)) break;
    if (std::chrono::steady_clock::now() >= deadline) {
      CloseHandle(h);
      throw EFileError("The file " + path + " is in use by another copy of the program; try again in a moment.");
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  Handle_ = h;
#else
  Fd_ = ::open(ToFsPath(path).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (Fd_ < 0) throw EFileError("Cannot open file " + path);
  while (::flock(Fd_, LOCK_EX | LOCK_NB) != 0) {
    if (std::chrono::steady_clock::now() >= deadline) {
      ::close(Fd_);
      throw EFileError("The file " + path + " is in use by another copy of the program; try again in a moment.");
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
#endif
}

TFileLock::~TFileLock() {
#ifdef _WIN32
  OVERLAPPED o{};
  UnlockFileEx(Handle_, 0, MAXDWORD, MAXDWORD, &o);
  CloseHandle(Handle_);
#else
  ::flock(Fd_, LOCK_UN);
  ::close(Fd_);
#endif
}

}  // namespace proctorium
