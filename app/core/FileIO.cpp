#include "app/core/FileIO.h"

#include <cerrno>
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

bool SyncToDisk(std::FILE* f) {
  if (std::fflush(f) != 0) return false;
#ifdef _WIN32
  return _commit(_fileno(f)) == 0;
#else
  return fsync(fileno(f)) == 0;
#endif
}

std::string TempNameBeside(const std::string& fileName) {
  static std::mt19937 gen{std::random_device{}()};
  char suffix[32];
  std::snprintf(suffix, sizeof suffix, ".~%08x.tmp", static_cast<unsigned>(gen()));
  return fileName + suffix;
}

}  // namespace

void WriteFileAtomic(const std::string& fileName, const std::string& bytes) {
  const std::string temp = TempNameBeside(fileName);
  std::FILE* f = OpenFile(temp, "wb");
  if (!f) throw EFileError("Cannot create file " + fileName);
  bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  ok = SyncToDisk(f) && ok;
  ok = (std::fclose(f) == 0) && ok;
  std::error_code ec;
  if (ok) {
    fs::rename(ToFsPath(temp), ToFsPath(fileName), ec);
    ok = !ec;
  }
  if (!ok) {
    fs::remove(ToFsPath(temp), ec);
    throw EFileError("Cannot create file " + fileName);
  }
}

void CopyFileSafely(const std::string& source, const std::string& destination) {
  std::FILE* in = OpenFile(source, "rb");
  if (!in) throw EFileError("Cannot open file " + source);
  const std::string temp = TempNameBeside(destination);
  std::FILE* out = OpenFile(temp, "wb");
  if (!out) {
    std::fclose(in);
    throw EFileError("Cannot create file " + destination);
  }
  std::vector<char> buffer(8192);
  bool readOk = true;
  bool writeOk = true;
  for (;;) {
    const size_t n = std::fread(buffer.data(), 1, buffer.size(), in);
    if (n > 0 && std::fwrite(buffer.data(), 1, n, out) != n) {
      writeOk = false;
      break;
    }
    if (n < buffer.size()) {
      readOk = !std::ferror(in);
      break;
    }
  }
  writeOk = SyncToDisk(out) && writeOk;
  writeOk = std::fclose(out) == 0 && writeOk;
  std::fclose(in);
  std::error_code ec;
  if (readOk && writeOk) {
    fs::rename(ToFsPath(temp), ToFsPath(destination), ec);
    if (!ec) return;
  }
  fs::remove(ToFsPath(temp), ec);
  if (!readOk) throw EFileError("Cannot read file " + source);
  throw EFileError("Cannot create file " + destination);
}

}  // namespace proctorium
