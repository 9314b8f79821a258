#include "base/core/FileIO.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <system_error>
#include <vector>

#ifdef _WIN32
#include <io.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace proctorium {

namespace fs = std::filesystem;

namespace {

// Program paths are UTF-8; Windows needs them as wide strings to open files
// whose names leave the ANSI code page.
std::FILE* OpenFile(const std::string& name, const char* mode) {
#ifdef _WIN32
  std::wstring wmode(mode, mode + std::strlen(mode));
  return _wfopen(ToFsPath(name).c_str(), wmode.c_str());
#else
  return std::fopen(name.c_str(), mode);
#endif
}

}  // namespace

std::string SystemReason(int error) { return std::generic_category().message(error); }

#ifndef _WIN32
bool TryLockWholeFile(int fd, int& error) {
#ifdef F_OFD_SETLK
  struct flock range {};
  range.l_type = F_WRLCK;
  range.l_whence = SEEK_SET;
  if (fcntl(fd, F_OFD_SETLK, &range) == 0) return true;
  error = errno;
  if (error != EINVAL) return false;
#endif
  if (flock(fd, LOCK_EX | LOCK_NB) == 0) return true;
  error = errno;
  return false;
}
#endif

bool ReadWholeFile(const std::string& fileName, std::string& bytes) {
  std::FILE* f = OpenFile(fileName, "rb");
  if (!f) return false;
  // One allocation and one read for the size the file has now; the loop
  // only runs on if the file grew meanwhile.
  long size = -1;
  if (std::fseek(f, 0, SEEK_END) == 0) size = std::ftell(f);
  std::rewind(f);
  std::string out;
  bool ok = size >= 0;
  if (ok) {
    out.resize(static_cast<size_t>(size));
    size_t got = size > 0 ? std::fread(out.data(), 1, out.size(), f) : 0;
    out.resize(got);
    char more[4096];
    while (!std::ferror(f) && !std::feof(f)) {
      size_t n = std::fread(more, 1, sizeof more, f);
      out.append(more, n);
      if (n == 0) break;
    }
    ok = !std::ferror(f);
  }
  std::fclose(f);
  if (ok) bytes.swap(out);
  return ok;
}

TReadResult ReadRegularFile(const std::string& fileName, std::uintmax_t maxBytes, std::string& bytes,
                            std::string* error) {
  std::error_code ec;
  const fs::file_status st = fs::status(ToFsPath(fileName), ec);
  if (st.type() == fs::file_type::not_found) return TReadResult::Missing;
  if (ec) {
    if (error) *error = ec.message();
    return TReadResult::Failed;
  }
  if (st.type() != fs::file_type::regular) return TReadResult::NotRegular;
  const std::uintmax_t size = fs::file_size(ToFsPath(fileName), ec);
  if (!ec && size > maxBytes) return TReadResult::TooLarge;
  auto failed = [&](int e) {
    if (error) *error = SystemReason(e);
    return TReadResult::Failed;
  };
  std::string out;
#ifdef _WIN32
  std::FILE* f = OpenFile(fileName, "rb");
  if (!f) return failed(errno);
  char buffer[65536];
  for (;;) {
    const size_t n = std::fread(buffer, 1, sizeof buffer, f);
    out.append(buffer, n);
    if (out.size() > maxBytes) {
      std::fclose(f);
      return TReadResult::TooLarge;
    }
    if (n < sizeof buffer) break;
  }
  const bool readFailed = std::ferror(f) != 0;
  const int readError = errno;
  std::fclose(f);
  if (readFailed) return failed(readError);
#else
  // Non-blocking, so a pipe put in the file's place after the check above
  // cannot hold the program at open; the descriptor is checked again.
  const int fd = open(fileName.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return failed(errno);
  struct stat opened {};
  if (fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
    close(fd);
    return TReadResult::NotRegular;
  }
  if (static_cast<std::uintmax_t>(opened.st_size) > maxBytes) {
    close(fd);
    return TReadResult::TooLarge;
  }
  out.resize(static_cast<size_t>(opened.st_size) + 1);
  size_t got = 0;
  for (;;) {
    if (got == out.size()) {
      if (out.size() > maxBytes) break;
      out.resize(std::min<std::uintmax_t>(out.size() * 2, maxBytes + 1));
    }
    const ssize_t n = read(fd, out.data() + got, out.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      const int e = errno;
      close(fd);
      return failed(e);
    }
    if (n == 0) break;
    got += static_cast<size_t>(n);
  }
  close(fd);
  if (got > maxBytes) return TReadResult::TooLarge;
  out.resize(got);
#endif
  bytes.swap(out);
  return TReadResult::Ok;
}

std::filesystem::path ToFsPath(const std::string& utf8) {
  return std::filesystem::path(std::u8string(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
}

std::string FromFsPath(const std::filesystem::path& path) {
  const std::u8string s = path.u8string();
  return std::string(reinterpret_cast<const char*>(s.data()), s.size());
}

bool FileExists(const std::string& fileName) {
  std::error_code ec;
  return fs::is_regular_file(ToFsPath(fileName), ec);
}

namespace {

const char TempPrefix[] = "~Proctorium-";
const char TempSuffix[] = ".tmp";
constexpr size_t TempDigits = 16;

// errno of the first failing step, or 0.
int SyncToDisk(std::FILE* f) {
  if (std::fflush(f) != 0) return errno ? errno : EIO;
#ifdef _WIN32
  if (_commit(_fileno(f)) != 0) return errno ? errno : EIO;
#else
  if (fsync(fileno(f)) != 0) return errno ? errno : EIO;
#endif
  return 0;
}

std::string TempNameBeside(const std::string& fileName) {
  static std::mt19937_64 gen{(static_cast<std::uint64_t>(std::random_device{}()) << 32) ^ std::random_device{}() ^
                             static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count())};
  char name[64];
  std::snprintf(name, sizeof name, "%s%016llx%s", TempPrefix, static_cast<unsigned long long>(gen()), TempSuffix);
  const size_t at = fileName.find_last_of("\\/");
  return (at == std::string::npos ? std::string() : fileName.substr(0, at + 1)) + name;
}

// A temporary file opened for writing, locked for as long as it is written,
// so the start-up tidy of another instance can tell a file in use from a
// leftover.
std::FILE* CreateTemp(const std::string& temp, int& error) {
  std::FILE* f = OpenFile(temp, "wb");
  error = f ? 0 : (errno ? errno : EIO);
#ifndef _WIN32
  int ignored = 0;
  if (f) TryLockWholeFile(fileno(f), ignored);
#endif
  return f;
}

EFileError CreateError(const std::string& fileName, const std::string& reason) {
  return EFileError("Cannot create file " + fileName + ": " + reason);
}
EFileError CreateError(const std::string& fileName, int error) { return CreateError(fileName, SystemReason(error)); }

}  // namespace

bool IsTemporaryFileName(const std::string& name) {
  const size_t prefix = sizeof TempPrefix - 1;
  const size_t suffix = sizeof TempSuffix - 1;
  if (name.size() != prefix + TempDigits + suffix) return false;
  if (name.compare(0, prefix, TempPrefix) != 0 || name.compare(prefix + TempDigits, suffix, TempSuffix) != 0)
    return false;
  for (size_t i = prefix; i < prefix + TempDigits; ++i) {
    const char c = name[i];
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
  }
  return true;
}

int RemoveStaleTemporaryFiles(const std::string& folder, int maxAgeSeconds) {
  int removed = 0;
  std::error_code ec;
  const auto now = fs::file_time_type::clock::now();
  for (fs::directory_iterator it(ToFsPath(folder), ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = FromFsPath(it->path().filename());
    if (!IsTemporaryFileName(name)) continue;
    std::error_code e;
    if (!it->is_regular_file(e) || e) continue;
    const auto written = fs::last_write_time(it->path(), e);
    if (e || now - written < std::chrono::seconds(maxAgeSeconds)) continue;
#ifdef _WIN32
    // A file another instance still has open cannot be removed here.
    if (fs::remove(it->path(), e) && !e) ++removed;
#else
    const int fd = open(FromFsPath(it->path()).c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) continue;
    int ignored = 0;
    if (TryLockWholeFile(fd, ignored) && fs::remove(it->path(), e) && !e) ++removed;
    close(fd);
#endif
  }
  return removed;
}

std::string WriteTemporaryBeside(const std::string& fileName, const std::string& bytes) {
  std::string temp = TempNameBeside(fileName);
  int error = 0;
  std::FILE* f = CreateTemp(temp, error);
  if (!f) throw CreateError(fileName, error);
  errno = 0;
  if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) error = errno ? errno : EIO;
  if (const int e = SyncToDisk(f); e && !error) error = e;
  errno = 0;
  if (std::fclose(f) != 0 && !error) error = errno ? errno : EIO;
  if (!error) return temp;
  std::error_code ignored;
  fs::remove(ToFsPath(temp), ignored);
  throw CreateError(fileName, error);
}

std::string TemporaryNameBeside(const std::string& fileName) { return TempNameBeside(fileName); }

void RenameTemporary(const std::string& temporary, const std::string& fileName) {
  std::error_code ec;
  fs::rename(ToFsPath(temporary), ToFsPath(fileName), ec);
  if (!ec) return;
  std::error_code ignored;
  fs::remove(ToFsPath(temporary), ignored);
  throw CreateError(fileName, ec.message());
}

void WriteFileAtomic(const std::string& fileName, const std::string& bytes) {
  RenameTemporary(WriteTemporaryBeside(fileName, bytes), fileName);
}

void WriteOutputFile(const std::string& fileName, const std::string& bytes) {
  const size_t at = fileName.find_last_of("\\/");
  RemoveStaleTemporaryFiles(at == std::string::npos ? std::string(".") : fileName.substr(0, at + 1),
                            StaleTemporaryFileAgeSeconds);
  WriteFileAtomic(fileName, bytes);
}

void CopyFileSafely(const std::string& source, const std::string& destination) {
  std::FILE* in = OpenFile(source, "rb");
  if (!in) throw EFileError("Cannot open file " + source + ": " + SystemReason(errno));
  const std::string temp = TempNameBeside(destination);
  int writeError = 0;
  std::FILE* out = CreateTemp(temp, writeError);
  if (!out) {
    std::fclose(in);
    throw CreateError(destination, writeError);
  }
  std::vector<char> buffer(8192);
  int readError = 0;
  for (;;) {
    errno = 0;
    const size_t n = std::fread(buffer.data(), 1, buffer.size(), in);
    if (n < buffer.size() && std::ferror(in)) readError = errno ? errno : EIO;
    errno = 0;
    if (n > 0 && std::fwrite(buffer.data(), 1, n, out) != n) {
      writeError = errno ? errno : EIO;
      break;
    }
    if (n < buffer.size()) break;
  }
  if (const int e = SyncToDisk(out); e && !writeError) writeError = e;
  errno = 0;
  if (std::fclose(out) != 0 && !writeError) writeError = errno ? errno : EIO;
  std::fclose(in);
  std::error_code ec;
  if (!readError && !writeError) {
    fs::rename(ToFsPath(temp), ToFsPath(destination), ec);
    if (!ec) return;
  }
  std::error_code ignored;
  fs::remove(ToFsPath(temp), ignored);
  if (readError) throw EFileError("Cannot read file " + source + ": " + SystemReason(readError));
  if (ec) throw CreateError(destination, ec.message());
  throw CreateError(destination, writeError);
}

}  // namespace proctorium
