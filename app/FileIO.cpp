#include "app/FileIO.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <random>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace proctorium {

namespace fs = std::filesystem;

bool ReadWholeFile(const std::string& fileName, std::string& bytes) {
  std::FILE* f = std::fopen(fileName.c_str(), "rb");
  if (!f) return false;
  std::string out;
  char buf[65536];
  bool ok = true;
  for (;;) {
    size_t n = std::fread(buf, 1, sizeof buf, f);
    out.append(buf, n);
    if (n < sizeof buf) {
      ok = !std::ferror(f);
      break;
    }
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
  std::FILE* f = std::fopen(temp.c_str(), "wb");
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

}  // namespace proctorium
