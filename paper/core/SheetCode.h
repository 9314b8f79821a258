#pragma once
// The text in an answer sheet's QR code: which job, set, version and sheet a
// page belongs to, with a check value so that a misread or foreign code is
// told apart from one of ours.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace proctorium {

struct TSheetCode {
  std::uint32_t JobId = 0;        // ties the page to one print job
  std::uint64_t Fingerprint = 0;  // the set's fingerprint (SetFingerprint)
  char Version = 'A';             // 'A' to 'Z'
  int Sheet = 1;                  // from 1
  int SheetCount = 1;
  bool operator==(const TSheetCode&) const = default;
};

// "PRCT1 <job 8 hex> <fingerprint 16 hex> <version> <sheet>/<count> <check 8 hex>",
// ASCII only, so that every QR reader returns it unchanged.
std::string EncodeSheetCode(const TSheetCode& code);
// Nothing for a text that is not ours or whose check value does not match.
std::optional<TSheetCode> DecodeSheetCode(std::string_view text);

}  // namespace proctorium
