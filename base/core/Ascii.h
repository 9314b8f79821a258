#pragma once
// Letter case and blanks for the ASCII range only. Stored texts are 8-bit
// Windows-1252 (and imported ones UTF-8), so the C library's toupper and
// isspace would depend on the locale and are undefined for bytes above 127
// when handed a plain char; these leave every byte outside a-z, A-Z and the
// blanks exactly as it is.

#include <string>
#include <string_view>

namespace proctorium {

constexpr bool IsAsciiBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
constexpr char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
constexpr char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

inline std::string UpperAscii(std::string s) {
  for (char& c : s) c = AsciiUpper(c);
  return s;
}

inline std::string LowerAscii(std::string s) {
  for (char& c : s) c = AsciiLower(c);
  return s;
}

// Appends s upper-cased to out, for building one haystack from many fields.
inline void AppendUpperAscii(std::string& out, std::string_view s) {
  for (char c : s) out.push_back(AsciiUpper(c));
}

// Without leading and trailing blanks (space, tab, CR, LF).
inline std::string Trim(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && IsAsciiBlank(s[b])) ++b;
  while (e > b && IsAsciiBlank(s[e - 1])) --e;
  return std::string(s.substr(b, e - b));
}

}  // namespace proctorium
