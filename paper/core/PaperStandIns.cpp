// Stand-ins for the sheet layout's page sizes and the sheet code until the
// printing side lands; removed when it does.
#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "paper/core/SheetCode.h"
#include "paper/core/SheetLayout.h"

namespace proctorium {

double PageWidth(TPaperSize size) { return size == TPaperSize::Letter ? 612.0 : 595.28; }
double PageHeight(TPaperSize size) { return size == TPaperSize::Letter ? 792.0 : 841.89; }
std::string PaperSizeName(TPaperSize size) { return size == TPaperSize::Letter ? "Letter" : "A4"; }

namespace {
std::uint32_t Check(std::string_view s) {
  std::uint32_t h = 2166136261u;
  for (char c : s) h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
  return h;
}
}  // namespace

std::string EncodeSheetCode(const TSheetCode& code) {
  char body[80];
  std::snprintf(body, sizeof body, "PRCT1 %08" PRIX32 " %016" PRIX64 " %c %d/%d", code.JobId, code.Fingerprint,
                code.Version, code.Sheet, code.SheetCount);
  char check[12];
  std::snprintf(check, sizeof check, " %08" PRIX32, Check(body));
  return std::string(body) + check;
}

std::optional<TSheetCode> DecodeSheetCode(std::string_view text) {
  TSheetCode code;
  unsigned job = 0, check = 0;
  unsigned long long fp = 0;
  char version = 0;
  const std::string s(text);
  if (std::sscanf(s.c_str(), "PRCT1 %8X %16llX %c %d/%d %8X", &job, &fp, &version, &code.Sheet, &code.SheetCount,
                  &check) != 6)
    return std::nullopt;
  code.JobId = job;
  code.Fingerprint = fp;
  code.Version = version;
  if (EncodeSheetCode(code) != s) return std::nullopt;
  return code;
}

}  // namespace proctorium
