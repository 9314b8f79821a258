#include "base/core/FileLock.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <system_error>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
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

namespace {

// The same file when volume and file index agree; false when path names
// no file now.
bool SameFile(HANDLE locked, const std::string& path) {
  HANDLE now = CreateFileW(ToFsPath(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (now == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION a{}, b{};
  const bool same = GetFileInformationByHandle(locked, &a) && GetFileInformationByHandle(now, &b) &&
                    a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
                    a.nFileIndexLow == b.nFileIndexLow;
  CloseHandle(now);
  return same;
}

}  // namespace

TFileLock::TFileLock(const std::string& path, int timeoutMs) : Path_(path) { Lock(timeoutMs, false); }
TFileLock::TFileLock(const std::string& path, int timeoutMs, TFollow) : Path_(path) { Lock(timeoutMs, true); }

void TFileLock::Lock(int timeoutMs, bool followReplacements) {
  const std::string& path = Path_;
  const int totalMs = timeoutMs;
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
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
                       std::to_string((totalMs + 999) / 1000) + " seconds");
    }
    if (!followReplacements || SameFile(h, path)) {
      Handle_ = h;
      return;
    }
    CloseHandle(h);
    timeoutMs = static_cast<int>(
        std::max<long long>(0, std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count()));
  }
}

TFileLock::~TFileLock() {
  OVERLAPPED at{};
  at.Offset = 0xFFFFFFFEu;
  at.OffsetHigh = 0x7FFFFFFFu;
  UnlockFileEx(static_cast<HANDLE>(Handle_), 0, 1, 0, &at);
  CloseHandle(static_cast<HANDLE>(Handle_));
}

#else

namespace {

// The same file when device and inode agree; false when path names no
// file now.
bool SameFile(int fd, const std::string& path) {
  struct stat locked {};
  struct stat now {};
  return fstat(fd, &locked) == 0 && stat(path.c_str(), &now) == 0 && locked.st_dev == now.st_dev &&
         locked.st_ino == now.st_ino;
}

}  // namespace

TFileLock::TFileLock(const std::string& path, int timeoutMs) : Path_(path) { Lock(timeoutMs, false); }
TFileLock::TFileLock(const std::string& path, int timeoutMs, TFollow) : Path_(path) { Lock(timeoutMs, true); }

void TFileLock::Lock(int timeoutMs, bool followReplacements) {
  const std::string& path = Path_;
  const int totalMs = timeoutMs;
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
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
                       std::to_string((totalMs + 999) / 1000) + " seconds");
    }
    if (!followReplacements || SameFile(fd, path)) {
      Fd_ = fd;
      return;
    }
    close(fd);
    timeoutMs = static_cast<int>(
        std::max<long long>(0, std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count()));
  }
}

TFileLock::~TFileLock() {
  // Closing the descriptor releases the lock.
  close(Fd_);
}

#endif

std::string ReplaceLockPath(const std::string& fileName) {
#ifdef _WIN32
  // Windows refuses to rename over a file that is held open, the lock's own
  // handle included: there the seats meet at one lock file beside the file,
  // which is never replaced.
  const std::size_t slash = fileName.find_last_of("/\\");
  return (slash == std::string::npos ? std::string() : fileName.substr(0, slash + 1)) + "~Proctorium-saves.lock";
#else
  return fileName;
#endif
}

TReplaceResult ReplaceFileIfUnchanged(const std::string& fileName, const std::string& expected,
                                      const std::string& bytes, unsigned long long maxBytes, int timeoutMs) {
#ifdef _WIN32
  TFileLock lock(ReplaceLockPath(fileName), timeoutMs);
#else
  TFileLock lock(fileName, timeoutMs, TFileLock::TFollow::Replacements);
#endif
  std::string onDisk, error;
  const TReadResult read = ReadRegularFile(fileName, maxBytes, onDisk, &error);
  if (read == TReadResult::Failed) throw EFileError("Cannot read file " + fileName + ": " + error);
  const bool asOpened =
      read == TReadResult::Missing || (read == TReadResult::Ok && (onDisk.empty() || onDisk == expected));
  if (!asOpened) return TReplaceResult::Changed;
  try {
    WriteFileAtomic(fileName, bytes);
  } catch (...) {
    // The lock made an empty file where the set was missing; it is no set.
    std::error_code ec;
    if (ReplaceLockPath(fileName) == fileName && read == TReadResult::Ok && onDisk.empty() &&
        std::filesystem::file_size(ToFsPath(fileName), ec) == 0 && !ec)
      std::filesystem::remove(ToFsPath(fileName), ec);
    throw;
  }
  return TReplaceResult::Replaced;
}

}  // namespace proctorium
