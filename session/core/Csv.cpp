#include "session/core/Csv.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace proctorium {

namespace {

bool NeedsQuotes(std::string_view s) { return s.find_first_of(",\"\r\n") != std::string_view::npos; }

bool FormulaStart(char c) { return c == '=' || c == '+' || c == '-' || c == '@' || c == '\''; }

}  // namespace

std::string CsvText(std::string_view utf8) {
  std::string s;
  s.reserve(utf8.size() + 1);
  if (!utf8.empty() && FormulaStart(utf8.front())) s += '\'';
  for (char c : utf8) {
    const auto u = static_cast<unsigned char>(c);
    s += (u < 0x20 || u == 0x7F) ? ' ' : c;
  }
  if (!NeedsQuotes(s)) return s;
  std::string q = "\"";
  for (char c : s) {
    if (c == '"') q += '"';
    q += c;
  }
  return q + '"';
}

std::string CsvTextValue(std::string_view field) {
  if (field.size() >= 2 && field[0] == '\'' && FormulaStart(field[1])) field.remove_prefix(1);
  return std::string(field);
}

std::string CsvNumber(double value, int decimals) {
  if (!std::isfinite(value)) return {};
  const double scale = std::pow(10.0, decimals);
  double rounded = std::round(value * scale) / scale;
  if (rounded == 0) rounded = 0;  // no "-0"
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, rounded, std::chars_format::fixed, decimals);
  std::string s(buf, r.ptr);
  if (s.find('.') != std::string::npos) {
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
  }
  return s;
}

void AppendCsvRecord(std::string& out, const std::vector<std::string>& fields) {
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i) out += ',';
    out += fields[i];
  }
  out += "\r\n";
}

TCsvReader::TCsvReader(std::string_view bytes) : Bytes_(bytes) {
  if (Bytes_.substr(0, Utf8Bom.size()) == Utf8Bom) Pos_ = Utf8Bom.size();
}

bool TCsvReader::Next(std::vector<std::string_view>& fields) {
  fields.clear();
  Unquoted_.clear();
  Torn_ = false;
  if (Pos_ >= Bytes_.size()) return false;
  ++Line_;
  const char* data = Bytes_.data();
  const std::size_t size = Bytes_.size();
  const void* nl = std::memchr(data + Pos_, '\n', size - Pos_);
  const std::size_t end = nl ? static_cast<std::size_t>(static_cast<const char*>(nl) - data) : size;
  std::string_view line(data + Pos_, end - Pos_);
  Pos_ = nl ? end + 1 : size;
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  // The usual record has no quote: split it on commas without copying, in
  // one pass over the bytes.
  {
    const char* p = line.data();
    const char* const e = p + line.size();
    const char* start = p;
    for (; p != e; ++p) {
      if (*p == ',') {
        fields.emplace_back(start, static_cast<std::size_t>(p - start));
        start = p + 1;
      } else if (*p == '"') {
        break;
      }
    }
    if (p == e) {
      fields.emplace_back(start, static_cast<std::size_t>(e - start));
      return true;
    }
    fields.clear();
  }
  std::size_t i = 0;
  const std::size_t n = line.size();
  for (;;) {
    if (i < n && line[i] == '"') {
      std::string value;
      ++i;
      bool closed = false;
      while (i < n) {
        if (line[i] == '"') {
          if (i + 1 < n && line[i + 1] == '"') {
            value += '"';
            i += 2;
            continue;
          }
          ++i;
          closed = true;
          break;
        }
        value += line[i++];
      }
      if (!closed) Torn_ = true;
      // Anything between the closing quote and the comma is kept as written.
      while (i < n && line[i] != ',') value += line[i++];
      Unquoted_.push_back(std::move(value));
      fields.push_back(Unquoted_.back());
    } else {
      const std::size_t start = i;
      while (i < n && line[i] != ',') ++i;
      fields.push_back(line.substr(start, i - start));
    }
    if (i >= n) break;
    ++i;  // the comma
  }
  return true;
}

}  // namespace proctorium
