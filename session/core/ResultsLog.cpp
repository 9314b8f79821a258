#include "session/core/ResultsLog.h"

#include <cerrno>
#include <filesystem>

#include "base/core/FileIO.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace proctorium {

namespace {

#ifdef _WIN32
using Offset = long long;
int OpenLog(const std::string& path) {
  int fd = -1;
  _wsopen_s(&fd, ToFsPath(path).c_str(), _O_RDWR | _O_CREAT | _O_BINARY, _SH_DENYNO, _S_IREAD | _S_IWRITE);
  return fd;
}
Offset SeekEnd(int fd) { return _lseeki64(fd, 0, SEEK_END); }
bool SeekTo(int fd, Offset at) { return _lseeki64(fd, at, SEEK_SET) == at; }
bool ReadByteAt(int fd, Offset at, char& c) { return SeekTo(fd, at) && _read(fd, &c, 1) == 1; }
long long WriteSome(int fd, const char* p, size_t n) { return _write(fd, p, static_cast<unsigned>(n)); }
int SyncFd(int fd) { return _commit(fd); }
int CutTo(int fd, Offset size) { return _chsize_s(fd, size); }
int CloseFd(int fd) { return _close(fd); }
#else
using Offset = off_t;
// O_NOFOLLOW: a link put in the log's place after the check still fails.
int OpenLog(const std::string& path) { return open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666); }
Offset SeekEnd(int fd) { return lseek(fd, 0, SEEK_END); }
bool SeekTo(int fd, Offset at) { return lseek(fd, at, SEEK_SET) == at; }
bool ReadByteAt(int fd, Offset at, char& c) { return pread(fd, &c, 1, at) == 1; }
long long WriteSome(int fd, const char* p, size_t n) {
  ssize_t r;
  do r = write(fd, p, n);
  while (r < 0 && errno == EINTR);
  return r;
}
int SyncFd(int fd) { return fsync(fd); }
int CutTo(int fd, Offset size) { return ftruncate(fd, size); }
int CloseFd(int fd) { return close(fd); }
#endif

EFileError WriteError(const std::string& path, int error) {
  return EFileError("Cannot create file " + path + ": " + SystemReason(error ? error : EIO));
}

}  // namespace

void RefuseLinkedLog(const std::string& path) {
  std::error_code ec;
  const auto status = std::filesystem::symlink_status(ToFsPath(path), ec);
  if (ec || status.type() == std::filesystem::file_type::not_found) return;
  if (status.type() == std::filesystem::file_type::symlink)
    throw EFileError("Cannot open file " + path + ": it is a symbolic link, which the program never follows for a log");
  if (status.type() != std::filesystem::file_type::regular)
    throw EFileError("Cannot open file " + path + ": it is not a regular file");
}

void AppendToLog(const std::string& path, const std::string& bytes) {
  RefuseLinkedLog(path);
  const int fd = OpenLog(path);
  if (fd < 0) throw WriteError(path, errno);
  const Offset size = SeekEnd(fd);
  if (size < 0) {
    const int e = errno;
    CloseFd(fd);
    throw WriteError(path, e);
  }
  std::string out;
  char last = '\n';
  if (size > 0 && !ReadByteAt(fd, size - 1, last)) {
    const int e = errno;
    CloseFd(fd);
    throw WriteError(path, e);
  }
  if (last == '\r')
    out = "\n";
  else if (last != '\n')
    out = "\r\n";
  out += bytes;
  int error = 0;
  // Write at the end found above: the caller's lock keeps every other seat
  // from moving it meanwhile.
  if (!SeekTo(fd, size)) error = errno ? errno : EIO;
  size_t done = 0;
  while (!error && done < out.size()) {
    const long long n = WriteSome(fd, out.data() + done, out.size() - done);
    if (n <= 0) {
      error = n < 0 ? errno : ENOSPC;
      break;
    }
    done += static_cast<size_t>(n);
  }
  if (!error && SyncFd(fd) != 0) error = errno ? errno : EIO;
  if (error) {
    // Half an entry would read as a damaged one: take it back.
    CutTo(fd, size);
    SyncFd(fd);
    CloseFd(fd);
    throw WriteError(path, error);
  }
  if (CloseFd(fd) != 0) throw WriteError(path, errno);
}

std::string ReadLog(const std::string& path) {
  RefuseLinkedLog(path);
  std::string bytes;
  std::string reason;
  switch (ReadRegularFile(path, MaxLogBytes, bytes, &reason)) {
    case TReadResult::Ok:
      return bytes;
    case TReadResult::Missing:
      return {};
    case TReadResult::NotRegular:
      throw EFileError("Cannot open file " + path + ": it is not a regular file");
    case TReadResult::TooLarge:
      throw EFileError("Cannot open file " + path + ": the file is too large for a results log");
    case TReadResult::Failed:
      break;
  }
  throw EFileError("Cannot open file " + path + ": " + reason);
}

void ClearLog(const std::string& path) {
  RefuseLinkedLog(path);
  const int fd = OpenLog(path);
  if (fd < 0) throw WriteError(path, errno);
  int error = 0;
  if (CutTo(fd, 0) != 0) error = errno ? errno : EIO;
  if (!error && SyncFd(fd) != 0) error = errno ? errno : EIO;
  if (CloseFd(fd) != 0 && !error) error = errno ? errno : EIO;
  if (error) throw WriteError(path, error);
}

std::string SanitizeLogLine(std::string line) {
  for (char& c : line) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x20 || b == 0x7F) c = '?';
  }
  return line;
}

std::string LogLinesBytes(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& line : lines) {
    out += SanitizeLogLine(line);
    out += "\r\n";
  }
  return out;
}

}  // namespace proctorium
