// Composition and readable character names, on every platform the core runs.
#include <gtest/gtest.h>

#include <utility>

#include "base/core/UnicodeText.h"

using namespace proctorium;

TEST(UnicodeText, ComposesDecomposedAccents) {
  const std::pair<std::string, std::string> cases[] = {
      {"e\xCC\x81t\xC3\xA9", "\xC3\xA9t\xC3\xA9"},  // e + U+0301, then a composed one
      {"Mu\xCC\x88nchen", "M\xC3\xBCnchen"},        // u + U+0308
      {"n\xCC\x83", "\xC3\xB1"},                    // n + U+0303
      {"plain ASCII stays", "plain ASCII stays"},   // nothing to do
      {"x \xE2\x89\xA5 0", "x \xE2\x89\xA5 0"},     // already composed, outside any code page
      {"\xCC\x81 alone", "\xCC\x81 alone"},         // a mark with no base stays a mark
      {"bad \xFF bytes", "bad \xFF bytes"},         // not UTF-8: left as it was
      {"", ""},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(ComposeNfc(in), out) << in;
}

TEST(UnicodeText, DescribesCharactersReadably) {
  // Visible characters show themselves and their code; marks only the code.
  const std::pair<char32_t, std::string> cases[] = {
      {0x2265, "\xE2\x89\xA5 (U+2265"},
      {0x03C0, "\xCF\x80 (U+03C0"},
      {0x0301, "U+0301"},
  };
  for (const auto& [cp, start] : cases) {
    const std::string d = DescribeCharacter(cp);
    EXPECT_EQ(d.substr(0, start.size()), start) << d;
  }
#ifndef _WIN32
  EXPECT_EQ(DescribeCharacter(0x0301), "U+0301 COMBINING ACUTE ACCENT");
  EXPECT_EQ(DescribeCharacter(0x200B), "U+200B ZERO WIDTH SPACE");
  EXPECT_EQ(DescribeCharacter(0x2265), "\xE2\x89\xA5 (U+2265 GREATER-THAN OR EQUAL TO)");
#endif
}

TEST(UnicodeText, FoldsCaseInEveryScript) {
  // Each pair must fold to the same text; the last column says whether
  // Windows' one-to-one tables manage it too.
  struct Case {
    std::string A, B;
    bool Everywhere;
  };
  const Case cases[] = {
      {"ΣΟΦΊΑ", "σοφία", true}, {"ς", "σ", true},       {"ПРИВЕТ", "привет", true},   {"Ärger", "äRGER", true},
      {"H₂O", "h₂o", true},     {"שלום", "שלום", true}, {"水 ≥ √π", "水 ≥ √π", true}, {"Straße", "STRASSE", false},
  };
  for (const Case& c : cases) {
#ifdef _WIN32
    if (!c.Everywhere) continue;
#endif
    EXPECT_EQ(FoldCase(c.A), FoldCase(c.B)) << c.A << " / " << c.B;
  }
  EXPECT_NE(FoldCase("σ"), FoldCase("ο"));
}

TEST(UnicodeText, FoldMapsEveryByteBackToItsCharacter) {
  std::vector<std::size_t> origin;
  const std::string text = "aΣb\xFF";  // Σ is two bytes, \xFF not UTF-8
  const std::string folded = FoldCase(text, &origin);
  ASSERT_EQ(origin.size(), folded.size());
  EXPECT_EQ(origin.front(), 0u);
  EXPECT_EQ(origin[1], 1u);                  // first byte of the folded Σ
  EXPECT_EQ(origin[folded.size() - 2], 3u);  // b
  EXPECT_EQ(origin.back(), 4u);              // the stray byte, kept as it was
  EXPECT_EQ(folded.back(), '\xFF');
}
