#include "candidates/core/ClassList.h"

#include <set>

#include "base/core/Ascii.h"
#include "base/core/Cp1252.h"
#include "base/core/FileIO.h"
#include "session/core/Csv.h"

namespace proctorium {

namespace {

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool ValidUtf8(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size()) {
    const auto b = static_cast<unsigned char>(s[i]);
    int more = 0;
    char32_t cp = 0, min = 0;
    if (b < 0x80) {
      ++i;
      continue;
    } else if ((b & 0xE0) == 0xC0) {
      more = 1, cp = b & 0x1F, min = 0x80;
    } else if ((b & 0xF0) == 0xE0) {
      more = 2, cp = b & 0x0F, min = 0x800;
    } else if ((b & 0xF8) == 0xF0) {
      more = 3, cp = b & 0x07, min = 0x10000;
    } else {
      return false;
    }
    if (i + more >= s.size()) return false;
    for (int k = 1; k <= more; ++k) {
      const auto c = static_cast<unsigned char>(s[i + k]);
      if ((c & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (c & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    i += more + 1;
  }
  return true;
}

bool IsHeaderWord(const std::string& folded, std::initializer_list<const char*> words) {
  for (const char* w : words)
    if (folded == w) return true;
  return false;
}

// Unicode white space that a spreadsheet or a paste leaves around a name,
// as UTF-8: no-break space, the en/em spaces, ideographic space.
std::size_t SpaceAt(std::string_view s, std::size_t i) {
  static const std::string_view spaces[] = {"\xC2\xA0",     "\xE2\x80\x80", "\xE2\x80\x81",
                                            "\xE2\x80\x82", "\xE2\x80\x83", "\xE2\x80\x89",
                                            "\xE2\x80\xAF", "\xE3\x80\x80", "\xEF\xBB\xBF"};
  if (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\r' || s[i] == '\n')) return 1;
  for (std::string_view sp : spaces)
    if (s.substr(i, sp.size()) == sp) return sp.size();
  return 0;
}

}  // namespace

int Utf8Length(std::string_view utf8) {
  int n = 0;
  for (char c : utf8) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return n;
}

std::string TrimUtf8(std::string_view s) {
  std::size_t b = 0;
  while (std::size_t n = SpaceAt(s, b)) b += n;
  std::size_t e = s.size();
  for (bool trimmed = true; trimmed && e > b;) {
    trimmed = false;
    for (std::size_t back = 1; back <= 3 && back <= e - b; ++back)
      if (SpaceAt(s, e - back) == back) {
        e -= back;
        trimmed = true;
        break;
      }
  }
  return std::string(s.substr(b, e - b));
}

TClassList ParseClassList(std::string_view bytes) {
  TClassList list;
  std::string text;
  if (bytes.substr(0, Utf8Bom.size()) == Utf8Bom)
    text = bytes.substr(Utf8Bom.size());
  else if (ValidUtf8(bytes))
    text = bytes;
  else
    text = Cp1252ToUtf8(std::string(bytes));
  std::set<std::string> ids;
  std::vector<std::string_view> fields;
  std::size_t pos = 0;
  int lineNumber = 0;
  bool first = true;
  while (pos < text.size()) {
    ++lineNumber;
    std::size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    std::string_view line(text.data() + pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (TrimUtf8(line).empty()) continue;
    auto problem = [&](const std::string& reason) { list.Problems.push_back({lineNumber, reason}); };
    std::vector<std::string> parts;
    if (line.find(',') != std::string_view::npos) {
      TCsvReader reader(line);
      reader.Next(fields);
      for (std::string_view f : fields) parts.push_back(CsvTextValue(TrimUtf8(f)));
    } else {
      const std::size_t sep = line.find_first_of("\t;");
      if (sep == std::string_view::npos) {
        problem("no comma between the ID and the name");
        first = false;
        continue;
      }
      parts = {TrimUtf8(line.substr(0, sep)), TrimUtf8(line.substr(sep + 1))};
    }
    if (first) {
      first = false;
      if (parts.size() >= 2 &&
          IsHeaderWord(LowerAscii(parts[0]), {"id", "candidate id", "student id", "number", "no", "no.", "#"}) &&
          IsHeaderWord(LowerAscii(parts[1]),
                       {"name", "candidate name", "student name", "candidate", "student", "full name"})) {
        list.HadHeader = true;
        continue;
      }
    }
    TCandidate c;
    c.Id = parts[0];
    for (std::size_t i = 1; i < parts.size(); ++i) {
      if (parts[i].empty()) continue;
      if (!c.Name.empty()) c.Name += ", ";
      c.Name += parts[i];
    }
    // Control characters have no place in a name and would not show.
    for (std::string* s : {&c.Id, &c.Name})
      for (char& ch : *s)
        if (static_cast<unsigned char>(ch) < 0x20 || ch == 0x7F) ch = ' ';
    if (c.Id.empty())
      problem("no ID");
    else if (c.Name.empty())
      problem("no name");
    else if (Utf8Length(c.Id) > MaxCandidateChars)
      problem("the ID is longer than " + std::to_string(MaxCandidateChars) + " characters");
    else if (Utf8Length(c.Name) > MaxCandidateChars)
      problem("the name is longer than " + std::to_string(MaxCandidateChars) + " characters");
    else if (!ids.insert(c.Id).second)
      problem("the ID " + c.Id + " is listed twice");
    else
      list.Candidates.push_back(std::move(c));
  }
  return list;
}

TClassList ReadClassListFile(const std::string& path, std::string* problem) {
  std::string bytes, reason;
  switch (ReadRegularFile(path, MaxClassListBytes, bytes, &reason)) {
    case TReadResult::Ok:
      return ParseClassList(bytes);
    case TReadResult::Missing:
      return {};
    case TReadResult::NotRegular:
      reason = "it is not a regular file";
      break;
    case TReadResult::TooLarge:
      reason = "the file is too large for a class list";
      break;
    case TReadResult::Failed:
      break;
  }
  if (problem) *problem = "Cannot open file " + path + ": " + reason;
  return {};
}

std::string ClassListFileBytes(const std::vector<TCandidate>& candidates) {
  std::string out(Utf8Bom);
  out += "ID,Name\r\n";
  for (const TCandidate& c : candidates) AppendCsvRecord(out, {CsvText(c.Id), CsvText(c.Name)});
  return out;
}

std::string ClassListSummary(const TClassList& list) {
  const std::size_t n = list.Candidates.size();
  std::string s = "The class list has " + std::to_string(n) + (n == 1 ? " candidate." : " candidates.");
  if (!list.Problems.empty()) {
    const std::size_t p = list.Problems.size();
    s += "\n" + std::to_string(p) + (p == 1 ? " line was" : " lines were") + " skipped:";
    std::size_t shown = 0;
    for (const TClassListProblem& problem : list.Problems) {
      if (++shown > 20) {
        s += "\n...and " + std::to_string(p - 20) + " more.";
        break;
      }
      s += "\nLine " + std::to_string(problem.Line) + ": " + problem.Reason;
    }
  }
  return s;
}

}  // namespace proctorium
