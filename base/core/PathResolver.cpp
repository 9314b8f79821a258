#include "base/core/PathResolver.h"

#include "base/core/FileIO.h"

#include <filesystem>
#include <system_error>
#include <vector>

namespace proctorium {

namespace fs = std::filesystem;

namespace {

#ifdef _WIN32
constexpr char Separator = '\\';
#else
constexpr char Separator = '/';
#endif

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool SameIgnoringAsciiCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

std::string MatchEntry(const std::string& dir, const std::string& part) {
  std::error_code ec;
  const fs::path base = dir.empty() ? fs::path(".") : ToFsPath(dir);
#ifndef _WIN32
  // A case-sensitive file system answers an exact spelling at once.
  if (fs::exists(base / ToFsPath(part), ec)) return part;
#endif
  // Windows finds any spelling, so the folder is read there too: the name
  // comes back as it is stored, and paths look the same on every platform.
  std::string best;
  for (fs::directory_iterator it(base, ec), end; !ec && it != end; it.increment(ec)) {
    std::string name = FromFsPath(it->path().filename());
    if (name == part) return name;
    if (SameIgnoringAsciiCase(name, part) && (best.empty() || name < best)) best = name;
  }
  return best.empty() ? part : best;
}

}  // namespace

std::string WithTrailingSeparator(const std::string& folder) {
  if (!folder.empty() && IsSeparator(folder.back())) return folder;
  return folder + Separator;
}

std::string ResolvePath(const std::string& folder, const std::string& relative) {
  std::string result = folder;
  std::vector<std::string> parts;
  std::string part;
  for (char c : relative) {
    if (IsSeparator(c)) {
      if (!part.empty()) parts.push_back(part);
      part.clear();
    } else {
      part.push_back(c);
    }
  }
  if (!part.empty()) parts.push_back(part);
  const bool trailing = !relative.empty() && IsSeparator(relative.back());
  for (const auto& p : parts) {
    std::string dir = WithTrailingSeparator(result);
    if (p == "." || p == "..") {
      result = dir + p;
      continue;
    }
    result = dir + MatchEntry(dir, p);
  }
  if (trailing || parts.empty()) result = WithTrailingSeparator(result);
  return result;
}

std::string ExtractFileName(const std::string& path) {
  size_t at = path.find_last_of("\\/:");
  return at == std::string::npos ? path : path.substr(at + 1);
}

std::string ExtractFilePath(const std::string& path) {
  size_t at = path.find_last_of("\\/:");
  return at == std::string::npos ? std::string() : path.substr(0, at + 1);
}

}  // namespace proctorium
