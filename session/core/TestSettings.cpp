#include "session/core/TestSettings.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <map>
#include <system_error>

#include "base/core/FileIO.h"

namespace proctorium {

namespace {

const char* const Heading = "[Proctorium test settings]";
constexpr std::uintmax_t MaxBytes = std::uintmax_t{64} * 1024;

const char* ClockName(TClockRule r) {
  switch (r) {
    case TClockRule::Elapsed:
      return "elapsed";
    case TClockRule::Countdown:
      return "countdown";
    case TClockRule::AsUser:
      break;
  }
  return "user";
}

const char* ReviewName(TReviewRule r) {
  switch (r) {
    case TReviewRule::Never:
      return "never";
    case TReviewRule::OnRelease:
      return "release";
    case TReviewRule::Immediately:
      break;
  }
  return "immediately";
}

std::string Hex(const std::string& bytes) {
  static const char* const digits = "0123456789abcdef";
  std::string s;
  for (unsigned char c : bytes) {
    s += digits[c >> 4];
    s += digits[c & 15];
  }
  return s;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool Unhex(const std::string& text, std::string& bytes) {
  if (text.size() % 2 != 0) return false;
  bytes.clear();
  for (std::size_t i = 0; i < text.size(); i += 2) {
    const int hi = HexDigit(text[i]);
    const int lo = HexDigit(text[i + 1]);
    if (hi < 0 || lo < 0) return false;
    bytes += static_cast<char>(hi * 16 + lo);
  }
  return true;
}

bool ParseInt(const std::string& text, int low, int high, int& value) {
  if (text.empty() || text.size() > 6) return false;
  int v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
  }
  if (v < low || v > high) return false;
  value = v;
  return true;
}

bool ParseBool(const std::string& text, bool& value) {
  if (text != "0" && text != "1") return false;
  value = text == "1";
  return true;
}

bool Digits(const std::string& s, std::size_t from, std::size_t count, int low, int high) {
  int v = 0;
  for (std::size_t i = from; i < from + count; ++i) {
    if (s[i] < '0' || s[i] > '9') return false;
    v = v * 10 + (s[i] - '0');
  }
  return v >= low && v <= high;
}

void RemoveIfThere(const std::string& path) {
  std::error_code ec;
  if (!std::filesystem::remove(ToFsPath(path), ec) && ec && ec != std::errc::no_such_file_or_directory)
    throw EFileError("Cannot delete file " + path + ": " + ec.message());
}

}  // namespace

std::string TestSettingsPath(const std::string& setPath) { return setPath + ".exam"; }

bool ValidOpenTime(const std::string& t) {
  if (t.empty()) return true;
  if (t.size() != 16 || t[4] != '-' || t[7] != '-' || t[10] != ' ' || t[13] != ':') return false;
  return Digits(t, 0, 4, 1900, 9999) && Digits(t, 5, 2, 1, 12) && Digits(t, 8, 2, 1, 31) && Digits(t, 11, 2, 0, 23) &&
         Digits(t, 14, 2, 0, 59);
}

std::string EncodeTestSettings(const TTestSettings& s) {
  std::string out = std::string(Heading) + "\r\n";
  auto line = [&out](const char* key, const std::string& value) { out += std::string(key) + "=" + value + "\r\n"; };
  line("exam", s.ExamMode ? "1" : "0");
  line("clock", ClockName(s.Clock));
  line("minutes", std::to_string(s.CountdownMinutes));
  line("runningscore", s.RunningScore ? "1" : "0");
  line("answers", s.AnswersButton ? "1" : "0");
  line("review", ReviewName(s.Review));
  line("released", s.ReviewReleased ? "1" : "0");
  line("score", s.ScoreAllQuestions ? "all" : "seen");
  line("draw", std::to_string(s.DrawCount));
  line("password", Hex(s.StartPassword));
  line("from", s.OpenFrom);
  line("until", s.OpenUntil);
  return out;
}

TTestSettings DecodeTestSettings(const std::string& bytes, const std::string& fileName) {
  auto damaged = [&fileName](const std::string& why) {
    return EFileError("The test settings in " + fileName + " are damaged (" + why + ")");
  };
  TTestSettings s;
  std::size_t at = 0;
  bool first = true;
  while (at < bytes.size()) {
    std::size_t end = bytes.find('\n', at);
    if (end == std::string::npos) end = bytes.size();
    std::string line = bytes.substr(at, end - at);
    at = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (first) {
      if (line != Heading) throw damaged("not a settings file");
      first = false;
      continue;
    }
    if (line.empty()) continue;
    const auto eq = line.find('=');
    if (eq == std::string::npos) throw damaged("line \"" + line.substr(0, 40) + "\"");
    const std::string key = line.substr(0, eq);
    const std::string value = line.substr(eq + 1);
    bool ok = true;
    if (key == "exam") {
      ok = ParseBool(value, s.ExamMode);
    } else if (key == "clock") {
      if (value == "user")
        s.Clock = TClockRule::AsUser;
      else if (value == "elapsed")
        s.Clock = TClockRule::Elapsed;
      else if (value == "countdown")
        s.Clock = TClockRule::Countdown;
      else
        ok = false;
    } else if (key == "minutes") {
      ok = ParseInt(value, 0, 9999, s.CountdownMinutes);
    } else if (key == "runningscore") {
      ok = ParseBool(value, s.RunningScore);
    } else if (key == "answers") {
      ok = ParseBool(value, s.AnswersButton);
    } else if (key == "review") {
      if (value == "immediately")
        s.Review = TReviewRule::Immediately;
      else if (value == "never")
        s.Review = TReviewRule::Never;
      else if (value == "release")
        s.Review = TReviewRule::OnRelease;
      else
        ok = false;
    } else if (key == "released") {
      ok = ParseBool(value, s.ReviewReleased);
    } else if (key == "score") {
      ok = value == "all" || value == "seen";
      s.ScoreAllQuestions = value == "all";
    } else if (key == "draw") {
      ok = ParseInt(value, 0, 250, s.DrawCount);
    } else if (key == "password") {
      ok = Unhex(value, s.StartPassword);
    } else if (key == "from") {
      ok = ValidOpenTime(value);
      s.OpenFrom = value;
    } else if (key == "until") {
      ok = ValidOpenTime(value);
      s.OpenUntil = value;
    }
    // A key this version does not know was written by a later one: passed over.
    if (!ok) throw damaged(key + "=" + value.substr(0, 40));
  }
  if (first) throw damaged("empty");
  if (s.Clock == TClockRule::Countdown && s.CountdownMinutes < 1) throw damaged("countdown of no minutes");
  return s;
}

TTestSettings ReadTestSettings(const std::string& setPath) {
  const std::string path = TestSettingsPath(setPath);
  std::string bytes;
  std::string error;
  switch (ReadRegularFile(path, MaxBytes, bytes, &error)) {
    case TReadResult::Missing:
      return {};
    case TReadResult::Ok:
      return DecodeTestSettings(bytes, path);
    case TReadResult::NotRegular:
    case TReadResult::TooLarge:
      throw EFileError("The test settings in " + path + " are damaged (not a settings file)");
    case TReadResult::Failed:
      break;
  }
  throw EFileError("Cannot open file " + path + ": " + error);
}

void WriteTestSettings(const std::string& setPath, const TTestSettings& settings) {
  if (settings.IsDefault()) {
    RemoveIfThere(TestSettingsPath(setPath));
    return;
  }
  WriteFileAtomic(TestSettingsPath(setPath), EncodeTestSettings(settings));
}

TOpenState OpenStateAt(const TTestSettings& s, const std::string& now) {
  // The fixed-width form sorts like the times it names.
  if (!s.OpenFrom.empty() && now < s.OpenFrom) return TOpenState::NotYet;
  if (!s.OpenUntil.empty() && now >= s.OpenUntil) return TOpenState::Closed;
  return TOpenState::Open;
}

void CopyTestSettings(const std::string& fromSet, const std::string& toSet) {
  const std::string from = TestSettingsPath(fromSet);
  if (!FileExists(from)) {
    RemoveIfThere(TestSettingsPath(toSet));
    return;
  }
  CopyFileSafely(from, TestSettingsPath(toSet));
}

void DeleteTestSettings(const std::string& setPath) { RemoveIfThere(TestSettingsPath(setPath)); }

}  // namespace proctorium
