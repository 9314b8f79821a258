#include "questions/core/TextDecoding.h"

#include "base/core/Cp1252.h"

namespace proctorium {

std::string ToLf(const std::string& s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\r') {
      out.push_back('\n');
      if (i + 1 < s.size() && s[i + 1] == '\n') ++i;
    } else {
      out.push_back(s[i]);
    }
  }
  return out;
}

std::string ToCrLf(const std::string& s) {
  const std::string lf = ToLf(s);
  std::string out;
  out.reserve(lf.size() + lf.size() / 16);
  for (char c : lf) {
    if (c == '\n') out.push_back('\r');
    out.push_back(c);
  }
  return out;
}

bool IsValidUtf8(const std::string& s) {
  for (size_t i = 0; i < s.size();) {
    const auto b = static_cast<unsigned char>(s[i]);
    size_t len = 0;
    char32_t cp = 0;
    if (b < 0x80) {
      ++i;
      continue;
    } else if ((b & 0xE0) == 0xC0) {
      len = 2, cp = b & 0x1F;
    } else if ((b & 0xF0) == 0xE0) {
      len = 3, cp = b & 0x0F;
    } else if ((b & 0xF8) == 0xF0) {
      len = 4, cp = b & 0x07;
    } else {
      return false;
    }
    if (i + len > s.size()) return false;
    for (size_t k = 1; k < len; ++k) {
      const auto c = static_cast<unsigned char>(s[i + k]);
      if ((c & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (c & 0x3F);
    }
    // Overlong forms and surrogates are not UTF-8.
    if ((len == 2 && cp < 0x80) || (len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
        (cp >= 0xD800 && cp <= 0xDFFF))
      return false;
    i += len;
  }
  return true;
}

namespace {

std::string FromUtf16(const std::string& bytes, bool bigEndian) {
  std::string out;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const auto a = static_cast<unsigned char>(bytes[i]);
    const auto b = static_cast<unsigned char>(bytes[i + 1]);
    char32_t u = bigEndian ? (a << 8 | b) : (b << 8 | a);
    if (u >= 0xD800 && u < 0xDC00 && i + 3 < bytes.size()) {
      const auto c = static_cast<unsigned char>(bytes[i + 2]);
      const auto d = static_cast<unsigned char>(bytes[i + 3]);
      const char32_t lo = bigEndian ? (c << 8 | d) : (d << 8 | c);
      if (lo >= 0xDC00 && lo < 0xE000) {
        u = 0x10000 + ((u - 0xD800) << 10) + (lo - 0xDC00);
        i += 2;
      }
    }
    AppendUtf8(out, u);
  }
  return out;
}

}  // namespace

std::string DecodeText(const std::string& bytes) {
  if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
    const std::string rest = bytes.substr(3);
    return IsValidUtf8(rest) ? rest : Cp1252ToUtf8(rest);
  }
  if (bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE') return FromUtf16(bytes.substr(2), false);
  if (bytes.size() >= 2 && bytes[0] == '\xFE' && bytes[1] == '\xFF') return FromUtf16(bytes.substr(2), true);
  return IsValidUtf8(bytes) ? bytes : Cp1252ToUtf8(bytes);
}

}  // namespace proctorium
