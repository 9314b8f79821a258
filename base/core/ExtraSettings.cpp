#include "base/core/ExtraSettings.h"

#include <charconv>
#include <functional>

#include "base/core/Ascii.h"
#include "base/core/FileIO.h"

namespace proctorium {

namespace {

// Far beyond any settings file: anything larger is not one.
constexpr std::uintmax_t MaxSettingsBytes = 1 << 20;

bool ParseBool(std::string_view v, bool& out) {
  if (v == "1" || v == "yes" || v == "true") {
    out = true;
    return true;
  }
  if (v == "0" || v == "no" || v == "false") {
    out = false;
    return true;
  }
  return false;
}

bool ParsePassMark(std::string_view v, int& out) {
  if (v.empty() || v == "none") {
    out = 0;
    return true;
  }
  int n = 0;
  const auto r = std::from_chars(v.data(), v.data() + v.size(), n);
  if (r.ec != std::errc() || r.ptr != v.data() + v.size() || n < 0 || n > 100) return false;
  out = n;
  return true;
}

struct TKey {
  const char* Name;
  // False when the value does not fit.
  std::function<bool(TExtraSettings&, std::string_view)> Read;
  std::function<std::string(const TExtraSettings&)> Write;
  const char* Expected;
};

TKey BoolKey(const char* name, bool TExtraSettings::*field) {
  return {name, [field](TExtraSettings& s, std::string_view v) { return ParseBool(v, s.*field); },
          [field](const TExtraSettings& s) { return std::string(s.*field ? "1" : "0"); }, "1 or 0"};
}

// Every key, in the order the file is written. A new setting is one row.
const std::vector<TKey>& Keys() {
  static const std::vector<TKey> keys = {
      BoolKey("AskCandidateName", &TExtraSettings::AskCandidateName),
      BoolKey("AskCandidateId", &TExtraSettings::AskCandidateId),
      BoolKey("AllowUnlisted", &TExtraSettings::AllowUnlisted),
      {"PassMark", [](TExtraSettings& s, std::string_view v) { return ParsePassMark(v, s.PassMark); },
       [](const TExtraSettings& s) { return s.PassMark > 0 ? std::to_string(s.PassMark) : std::string(); },
       "a per cent from 1 to 100, or nothing for none"},
  };
  return keys;
}

}  // namespace

std::string EncodeExtraSettings(const TExtraSettings& settings) {
  std::string out = "; Proctorium settings, UTF-8. The other settings are in Proctorium.opt.\r\n";
  for (const TKey& key : Keys()) {
    out += key.Name;
    out += '=';
    out += key.Write(settings);
    out += "\r\n";
  }
  for (const std::string& line : settings.OtherLines) out += line + "\r\n";
  return out;
}

TExtraSettings DecodeExtraSettings(std::string_view bytes, const std::string& fileName) {
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  TExtraSettings s;
  int lineNumber = 0;
  auto fail = [&](const std::string& reason) {
    throw EFileError(fileName + ", line " + std::to_string(lineNumber) + ": " + reason);
  };
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    ++lineNumber;
    std::size_t end = bytes.find('\n', pos);
    if (end == std::string_view::npos) end = bytes.size();
    const std::string line = Trim(bytes.substr(pos, end - pos));
    pos = end + 1;
    if (line.empty() || line[0] == ';' || line[0] == '#') continue;
    if (line.find('\0') != std::string::npos) fail("not a text line");
    const auto eq = line.find('=');
    if (eq == std::string::npos) fail("\"" + line.substr(0, 40) + "\" is not a setting (key=value)");
    const std::string key = Trim(std::string_view(line).substr(0, eq));
    const std::string value = Trim(std::string_view(line).substr(eq + 1));
    if (key.empty()) fail("a setting without a name");
    bool known = false;
    for (const TKey& k : Keys()) {
      if (LowerAscii(key) != LowerAscii(k.Name)) continue;
      known = true;
      if (!k.Read(s, LowerAscii(value))) fail(std::string(k.Name) + " must be " + k.Expected);
    }
    if (!known) s.OtherLines.push_back(line);
  }
  return s;
}

TExtraSettingsLoad ReadExtraSettings(const std::string& fileName) {
  TExtraSettingsLoad load;
  std::string bytes, reason;
  switch (ReadRegularFile(fileName, MaxSettingsBytes, bytes, &reason)) {
    case TReadResult::Missing:
      return load;
    case TReadResult::NotRegular:
      load.Problem = "Cannot open file " + fileName + ": it is not a regular file";
      return load;
    case TReadResult::TooLarge:
      load.Problem = "Cannot open file " + fileName + ": the file is too large for a settings file";
      return load;
    case TReadResult::Failed:
      load.Problem = "Cannot open file " + fileName + ": " + reason;
      return load;
    case TReadResult::Ok:
      break;
  }
  try {
    load.Settings = DecodeExtraSettings(bytes, fileName);
  } catch (const EFileError& e) {
    load.Problem = e.what();
  }
  return load;
}

void WriteExtraSettings(const std::string& fileName, const TExtraSettings& settings) {
  WriteFileAtomic(fileName, EncodeExtraSettings(settings));
}

}  // namespace proctorium
