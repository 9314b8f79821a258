#include "session/core/ResultsLog.h"

#include <cerrno>
#include <cstdio>

#include "app/core/FileIO.h"

#ifdef _WIN32
#include <io.h>
#define fsync _commit
#define fileno _fileno
#else
#include <unistd.h>
#endif

namespace proctorium {

void AppendToLog(const std::string& path, const std::string& bytes) {
#ifdef _WIN32
  FILE* f = _wfopen(ToFsPath(path).c_str(), L"a+b");
#else
  FILE* f = std::fopen(ToFsPath(path).c_str(), "a+b");
#endif
  if (!f) throw EFileError("Cannot create file " + path);
  std::string out;
  if (std::fseek(f, -1, SEEK_END) == 0) {
    const int last = std::fgetc(f);
    if (last != EOF && last != '\n') out = "\r\n";
  }
  out += bytes;
  std::fseek(f, 0, SEEK_END);
  const bool ok =
      std::fwrite(out.data(), 1, out.size(), f) == out.size() && std::fflush(f) == 0 && fsync(fileno(f)) == 0;
  if (std::fclose(f) != 0 || !ok) throw EFileError("Cannot create file " + path);
}

}  // namespace proctorium
