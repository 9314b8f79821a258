#include "base/core/UnicodeText.h"

#include <cstdio>

#include "base/core/Cp1252.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>
#endif

namespace proctorium {

namespace {

std::string CodeOf(char32_t cp) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "U+%04X", static_cast<unsigned>(cp));
  return buf;
}

}  // namespace

#ifdef _WIN32

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
  const std::string code =
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
