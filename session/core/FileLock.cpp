#include "session/core/FileLock.h"

#include <cerrno>
#include <chrono>
#include <system_error>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace proctorium {

namespace {

using Clock = std::chrono::steady_clock;

// Polls rather than blocks, so the wait has a limit and a process that
// holds the lock for ever cannot hang every other seat.
template <typename TryOnce>
bool TryUntil(int timeoutMs, TryOnce tryOnce) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  auto pause = std::chrono::milliseconds(1);
  for (;;) {
    if (tryOnce()) return true;
    if (timeoutMs >= 0 && Clock::now() >= deadline) return false;
    std::this_thread::sleep_for(pause);
    if (pause < std::chrono::milliseconds(20)) pause *= 2;
  }
}

}  // namespace

#ifdef _WIN32

TFileLock::TFileLock(const std::string& path, int timeoutMs) : Path_(path) {
  HANDLE h = CreateFileW(ToFsPath(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE)
    throw EFileError("Cannot open file " + path + ": " + std::system_category().message(GetLastError()));
  // Windows locks are mandatory: the lock covers one byte far beyond any
  // data, so the other handles that read and append the file are not
  // blocked by it.
  const bool locked = TryUntil(timeoutMs, [h] {
    OVERLAPPED at{};
    at.Offset = 0xFFFFFFFEu;
    at.OffsetHigh = 0x7FFFFFFFu;
    return LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at) != 0;
  });
  if (!locked) {
    CloseHandle(h);
    throw EFileError("The file " + path + " is in use by another seat or program; it could not be locked within " +
                     std::to_string((timeoutMs + 999) / 1000) + " seconds");
  }
  Handle_ = h;
}

TFileLock::~TFileLock() {
  OVERLAPPED at{};
  at.Offset = 0xFFFFFFFEu;
  at.OffsetHigh = 0x7FFFFFFFu;
  UnlockFileEx(static_cast<HANDLE>(Handle_), 0, 1, 0, &at);
  CloseHandle(static_cast<HANDLE>(Handle_));
}

#else

TFileLock::TFileLock(const std::string& path, int timeoutMs) : Path_(path) {
  const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) throw EFileError("Cannot open file " + path + ": " + SystemReason(errno));
  int error = 0;
  bool failedHard = false;
  const bool locked = TryUntil(timeoutMs, [&] {
    if (TryLockWholeFile(fd, error)) return true;
    // Anything but "held by another" will not go away by waiting.
    failedHard = error != EAGAIN && error != EACCES && error != EWOULDBLOCK && error != EINTR;
    return failedHard;
  });
  if (!locked || failedHard) {
    close(fd);
    if (failedHard) throw EFileError("Cannot lock file " + path + ": " + SystemReason(error));
    throw EFileError("The file " + path + " is in use by another seat or program; it could not be locked within " +
                     std::to_string((timeoutMs + 999) / 1000) + " seconds");
  }
  Fd_ = fd;
}

TFileLock::~TFileLock() {
  // Closing the descriptor releases the lock.
  close(Fd_);
}

#endif

}  // namespace proctorium
