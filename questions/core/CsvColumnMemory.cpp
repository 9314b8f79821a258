#include "questions/core/CsvColumnMemory.h"

#include <cstdlib>
#include <sstream>

#include "base/core/Ascii.h"
#include "base/core/FileIO.h"
#include "questions/core/TextDecoding.h"

namespace proctorium {

namespace {

std::vector<std::string> Split(const std::string& s, char sep) {
  std::vector<std::string> parts;
  size_t from = 0;
  for (;;) {
    const size_t at = s.find(sep, from);
    parts.push_back(s.substr(from, at == std::string::npos ? std::string::npos : at - from));
    if (at == std::string::npos) return parts;
    from = at + 1;
  }
}

// "3" -> 2; anything else -> -1.
int Column(const std::string& s) {
  if (s.empty() || s.size() > 4 || s.find_first_not_of("0123456789") != std::string::npos) return -1;
  return std::atoi(s.c_str()) - 1;
}

// A header cell kept on one line of the file.
std::string OneLine(const std::string& cell) {
  std::string out;
  for (char c : cell) out.push_back(c == '\t' || c == '\r' || c == '\n' ? ' ' : c);
  return out;
}

std::vector<std::string> Key(const std::vector<std::string>& header) {
  std::vector<std::string> key;
  key.reserve(header.size());
  for (const std::string& cell : header) key.push_back(OneLine(Trim(cell)));
  return key;
}

}  // namespace

void TCsvColumnMemory::Parse(const std::string& text) {
  Entries_.clear();
  std::istringstream in(ToLf(text));
  std::string line;
  while (std::getline(in, line)) {
    const std::vector<std::string> fields = Split(line, '\t');
    if (fields.size() < 2) continue;
    TCsvColumns c;
    bool ok = true;
    for (const std::string& part : Split(fields[0], ' ')) {
      if (part.compare(0, 2, "q=") == 0) {
        c.Question = Column(part.substr(2));
      } else if (part.compare(0, 2, "k=") == 0) {
        c.Key = Column(part.substr(2));
      } else if (part.compare(0, 2, "a=") == 0) {
        for (const std::string& a : Split(part.substr(2), ',')) {
          c.Answers.push_back(Column(a));
          ok = ok && c.Answers.back() >= 0;
        }
      }
    }
    if (!ok || c.Question < 0 || c.Key < 0 || c.Answers.empty()) continue;
    Remember(std::vector<std::string>(fields.begin() + 1, fields.end()), c);
  }
}

std::string TCsvColumnMemory::Text() const {
  std::string s;
  for (const auto& [header, c] : Entries_) {
    s += "q=" + std::to_string(c.Question + 1) + " a=";
    for (size_t i = 0; i < c.Answers.size(); ++i) s += (i ? "," : "") + std::to_string(c.Answers[i] + 1);
    s += " k=" + std::to_string(c.Key + 1);
    for (const std::string& cell : header) s += "\t" + cell;
    s += "\r\n";
  }
  return s;
}

std::optional<TCsvColumns> TCsvColumnMemory::Find(const std::vector<std::string>& header) const {
  const std::vector<std::string> key = Key(header);
  for (const auto& [h, c] : Entries_)
    if (h == key) return c;
  return std::nullopt;
}

void TCsvColumnMemory::Remember(const std::vector<std::string>& header, const TCsvColumns& columns) {
  const std::vector<std::string> key = Key(header);
  for (auto& [h, c] : Entries_)
    if (h == key) {
      c = columns;
      return;
    }
  Entries_.emplace_back(key, columns);
}

void TCsvColumnMemory::Load(const std::string& path) {
  std::string bytes;
  if (ReadWholeFile(path, bytes)) Parse(DecodeText(bytes));
}

void TCsvColumnMemory::Save(const std::string& path) const { WriteFileAtomic(path, Text()); }

}  // namespace proctorium
