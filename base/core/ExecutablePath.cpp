#include "base/core/ExecutablePath.h"

#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#include <climits>
#endif

namespace proctorium {

std::string ExecutablePath() {
#ifdef _WIN32
  // The wide call, since the ANSI one cannot name a folder outside the code
  // page; the buffer grows for paths longer than MAX_PATH.
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return std::string();
    if (n < buffer.size()) {
      const int bytes =
          WideCharToMultiByte(CP_UTF8, 0, buffer.data(), static_cast<int>(n), nullptr, 0, nullptr, nullptr);
      std::string out(static_cast<size_t>(bytes), '\0');
      WideCharToMultiByte(CP_UTF8, 0, buffer.data(), static_cast<int>(n), out.data(), bytes, nullptr, nullptr);
      return out;
    }
    if (buffer.size() >= 32768) return std::string();
    buffer.resize(buffer.size() * 2);
  }
#else
  std::vector<char> buffer(PATH_MAX);
  const ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
  if (n <= 0 || static_cast<size_t>(n) >= buffer.size()) return std::string();
  return std::string(buffer.data(), static_cast<size_t>(n));
#endif
}

std::string FolderOfExecutable(const std::string& executablePath) {
  const size_t cut = executablePath.find_last_of("\\/:");
  if (cut == std::string::npos) return std::string();
  return executablePath.substr(0, cut + 1);
}

}  // namespace proctorium
