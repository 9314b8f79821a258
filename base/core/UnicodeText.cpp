#include "base/core/UnicodeText.h"

#include <cstdio>

#include "base/core/Cp1252.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>
#include <unicode/utf8.h>
#endif

namespace proctorium {

namespace {

std::string CodeOf(char32_t cp) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "U+%04X", static_cast<unsigned>(cp));
  return buf;
}

// Length of the UTF-8 sequence that starts at text[at], or 0 when it is
// not a valid one.
std::size_t SequenceLength(const std::string& text, std::size_t at) {
  const auto b = static_cast<unsigned char>(text[at]);
  std::size_t len = b < 0x80 ? 1 : (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : (b & 0xF8) == 0xF0 ? 4 : 0;
  if (len == 0 || at + len > text.size()) return 0;
  for (std::size_t i = 1; i < len; ++i)
    if ((static_cast<unsigned char>(text[at + i]) & 0xC0) != 0x80) return 0;
  return len;
}

// Folds one character (a valid UTF-8 sequence) onto the end of out.
void FoldCharacter(const std::string& character, std::string& out);

}  // namespace

std::string FoldCase(const std::string& utf8, std::vector<std::size_t>* origin) {
  std::string out;
  out.reserve(utf8.size());
  if (origin) {
    origin->clear();
    origin->reserve(utf8.size());
  }
  for (std::size_t i = 0; i < utf8.size();) {
    const std::size_t before = out.size();
    std::size_t len = SequenceLength(utf8, i);
    const auto b = static_cast<unsigned char>(utf8[i]);
    if (len == 0) {
      out.push_back(utf8[i]);
      len = 1;
    } else if (b < 0x80) {
      out.push_back(b >= 'A' && b <= 'Z' ? static_cast<char>(b - 'A' + 'a') : utf8[i]);
    } else {
      FoldCharacter(utf8.substr(i, len), out);
    }
    if (origin) origin->insert(origin->end(), out.size() - before, i);
    i += len;
  }
  return out;
}

#ifdef _WIN32

namespace {

void FoldCharacter(const std::string& character, std::string& out) {
  wchar_t wide[4] = {};
  const int n =
      MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, character.data(), static_cast<int>(character.size()), wide, 4);
  wchar_t mapped[8] = {};
  // Linguistic upper case, not lower: only that mapping puts the final
  // sigma with the other two.
  const int m =
      n > 0 ? LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE | LCMAP_LINGUISTIC_CASING, wide, n, mapped, 8) : 0;
  if (m <= 0) {
    out += character;
    return;
  }
  char bytes[32];
  const int len = WideCharToMultiByte(CP_UTF8, 0, mapped, m, bytes, sizeof bytes, nullptr, nullptr);
  if (len <= 0) {
    out += character;
    return;
  }
  out.append(bytes, static_cast<std::size_t>(len));
}

}  // namespace

std::string ComposeNfc(const std::string& utf8) {
  if (utf8.empty()) return utf8;
  const int wideLen =
      MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  if (wideLen <= 0) return utf8;
  std::wstring wide(static_cast<size_t>(wideLen), L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()), wide.data(), wideLen);
  // The first call estimates; a retry with the size the error reports follows
  // the documented pattern for NormalizeString.
  int size = NormalizeString(NormalizationC, wide.data(), wideLen, nullptr, 0);
  for (int attempt = 0; attempt < 4 && size > 0; ++attempt) {
    std::wstring composed(static_cast<size_t>(size), L'\0');
    const int got = NormalizeString(NormalizationC, wide.data(), wideLen, composed.data(), size);
    if (got > 0) {
      composed.resize(static_cast<size_t>(got));
      const int outLen = WideCharToMultiByte(CP_UTF8, 0, composed.data(), got, nullptr, 0, nullptr, nullptr);
      std::string out(static_cast<size_t>(outLen), '\0');
      WideCharToMultiByte(CP_UTF8, 0, composed.data(), got, out.data(), outLen, nullptr, nullptr);
      return out;
    }
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) break;
    size = -got;
  }
  return utf8;
}

std::string DescribeCharacter(char32_t cp) {
  std::string glyph;
  // Without a names table, the category decides whether the glyph shows.
  WORD type = 0;
  wchar_t w[2] = {static_cast<wchar_t>(cp), 0};
  const bool bmp = cp < 0x10000;
  if (bmp && GetStringTypeW(CT_CTYPE3, w, 1, &type) && (type & C3_NONSPACING) == 0 && cp > 0x20) AppendUtf8(glyph, cp);
  if (!bmp) AppendUtf8(glyph, cp);
  return glyph.empty() ? CodeOf(cp) : glyph + " (" + CodeOf(cp) + ")";
}

#else

namespace {

void FoldCharacter(const std::string& character, std::string& out) {
  icu::UnicodeString c = icu::UnicodeString::fromUTF8(character);
  c.foldCase();
  c.toUTF8String(out);
}

}  // namespace

std::string ComposeNfc(const std::string& utf8) {
  UErrorCode status = U_ZERO_ERROR;
  const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(status);
  if (U_FAILURE(status)) return utf8;
  const icu::UnicodeString in = icu::UnicodeString::fromUTF8(utf8);
  if (nfc->isNormalized(in, status) && U_SUCCESS(status)) return utf8;
  status = U_ZERO_ERROR;
  const icu::UnicodeString composed = nfc->normalize(in, status);
  if (U_FAILURE(status)) return utf8;
  std::string out;
  composed.toUTF8String(out);
  return out;
}

std::string DescribeCharacter(char32_t cp) {
  const auto c = static_cast<UChar32>(cp);
  char name[128];
  UErrorCode status = U_ZERO_ERROR;
  const int32_t len = u_charName(c, U_UNICODE_CHAR_NAME, name, sizeof name, &status);
  std::string code =
      CodeOf(cp) + (U_SUCCESS(status) && len > 0 ? " " + std::string(name, static_cast<size_t>(len)) : "");
  const int8_t type = u_charType(c);
  const bool invisible = type == U_NON_SPACING_MARK || type == U_ENCLOSING_MARK || type == U_FORMAT_CHAR ||
                         type == U_CONTROL_CHAR || u_isUWhiteSpace(c) || type == U_UNASSIGNED;
  if (invisible) return code;
  std::string glyph;
  AppendUtf8(glyph, cp);
  return glyph + " (" + code + ")";
}

#endif

}  // namespace proctorium
