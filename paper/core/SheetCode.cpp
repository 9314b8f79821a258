#include "paper/core/SheetCode.h"

#include <array>
#include <charconv>
#include <cstdio>
#include <vector>

namespace proctorium {

namespace {

constexpr std::string_view kTag = "PRCT1";
constexpr int kMaxSheets = 999;

// CRC-32 rather than a plain hash: it is certain to catch any single changed
// character, the misread a damaged code is most likely to give.
std::uint32_t Crc32(std::string_view text) {
  static const std::array<std::uint32_t, 256> table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t i = 0; i < 256; ++i) {
      std::uint32_t c = i;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[i] = c;
    }
    return t;
  }();
  std::uint32_t crc = 0xFFFFFFFFu;
  for (unsigned char ch : text) crc = table[(crc ^ ch) & 0xFF] ^ (crc >> 8);
  return crc ^ 0xFFFFFFFFu;
}

std::string Body(const TSheetCode& code) {
  char buffer[96];
  std::snprintf(buffer, sizeof buffer, "%s %08X %016llX %c %d/%d", kTag.data(), static_cast<unsigned>(code.JobId),
                static_cast<unsigned long long>(code.Fingerprint), code.Version, code.Sheet, code.SheetCount);
  return buffer;
}

std::vector<std::string_view> Fields(std::string_view text) {
  std::vector<std::string_view> fields;
  size_t start = 0;
  while (true) {
    const size_t space = text.find(' ', start);
    fields.push_back(text.substr(start, space - start));
    if (space == std::string_view::npos) break;
    start = space + 1;
  }
  return fields;
}

template <typename T>
bool ParseNumber(std::string_view text, int base, T& value) {
  if (text.empty()) return false;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  return error == std::errc{} && end == text.data() + text.size();
}

}  // namespace

std::string EncodeSheetCode(const TSheetCode& code) {
  const std::string body = Body(code);
  char check[16];
  std::snprintf(check, sizeof check, " %08X", static_cast<unsigned>(Crc32(body)));
  return body + check;
}

std::optional<TSheetCode> DecodeSheetCode(std::string_view text) {
  const auto fields = Fields(text);
  if (fields.size() != 6 || fields[0] != kTag) return std::nullopt;
  if (fields[1].size() != 8 || fields[2].size() != 16 || fields[3].size() != 1 || fields[5].size() != 8)
    return std::nullopt;
  TSheetCode code;
  if (!ParseNumber(fields[1], 16, code.JobId) || !ParseNumber(fields[2], 16, code.Fingerprint)) return std::nullopt;
  code.Version = fields[3][0];
  if (code.Version < 'A' || code.Version > 'Z') return std::nullopt;
  const size_t slash = fields[4].find('/');
  if (slash == std::string_view::npos || !ParseNumber(fields[4].substr(0, slash), 10, code.Sheet) ||
      !ParseNumber(fields[4].substr(slash + 1), 10, code.SheetCount))
    return std::nullopt;
  if (code.Sheet < 1 || code.Sheet > code.SheetCount || code.SheetCount > kMaxSheets) return std::nullopt;
  // Only the one spelling we write is ours: lower-case hex, leading zeros
  // or a plus sign would pass the parse but are not what a sheet carries.
  if (EncodeSheetCode(code) != text) return std::nullopt;
  return code;
}

}  // namespace proctorium
