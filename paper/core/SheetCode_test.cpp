// The QR text of an answer sheet: what we write reads back, and anything
// else (a misread character, another program's code) is refused.

#include "paper/core/SheetCode.h"

#include <gtest/gtest.h>

using namespace proctorium;

TEST(SheetCode, RoundTrips) {
  const TSheetCode codes[] = {
      {0, 0, 'A', 1, 1},
      {0x1234ABCD, 0x0123456789ABCDEFull, 'C', 2, 3},
      {0xFFFFFFFF, 0xFFFFFFFFFFFFFFFFull, 'Z', 999, 999},
  };
  for (const TSheetCode& code : codes) {
    const std::string text = EncodeSheetCode(code);
    SCOPED_TRACE(text);
    EXPECT_EQ(text.rfind("PRCT1 ", 0), 0u);
    for (char ch : text) EXPECT_TRUE(ch == ' ' || ch == '/' || (ch >= '0' && ch <= '9') || (ch >= 'A' && ch <= 'Z'));
    const auto back = DecodeSheetCode(text);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, code);
  }
  EXPECT_EQ(EncodeSheetCode({0x1234ABCD, 0x0123456789ABCDEFull, 'C', 2, 3}).substr(0, 38),
            "PRCT1 1234ABCD 0123456789ABCDEF C 2/3 ");
}

TEST(SheetCode, CheckValueRefusesAnyChangedCharacter) {
  const std::string text = EncodeSheetCode({0x00C0FFEE, 0xDEADBEEF01234567ull, 'B', 1, 2});
  const std::string alphabet = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ /";
  int tried = 0;
  for (size_t i = 0; i < text.size(); ++i)
    for (char ch : alphabet) {
      if (ch == text[i]) continue;
      std::string changed = text;
      changed[i] = ch;
      ++tried;
      EXPECT_FALSE(DecodeSheetCode(changed).has_value()) << changed;
    }
  EXPECT_GT(tried, 1000);
}

TEST(SheetCode, ForeignTextsRefused) {
  const std::string good = EncodeSheetCode({7, 8, 'A', 1, 1});
  std::string lower = good;
  for (char& ch : lower) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  const std::string cases[] = {
      "",
      "https://example.org/quiz",
      "PRCT1",
      good + " ",
      " " + good,
      good.substr(0, good.size() - 1),
      lower,
      "PRCT2" + good.substr(5),
      "PRCT1 00000007 0000000000000008 a 1/1 00000000",
      "PRCT1 00000007 0000000000000008 A 0/1 00000000",
      "PRCT1 00000007 0000000000000008 A 2/1 00000000",
      std::string("PRCT1 00000007 0000000000000008 A 1/1\0", 38),
  };
  for (const std::string& text : cases) EXPECT_FALSE(DecodeSheetCode(text).has_value()) << text;
  // A sheet number out of range is refused even with a matching check value.
  for (const TSheetCode& bad : {TSheetCode{1, 2, 'A', 0, 1}, TSheetCode{1, 2, 'A', 3, 2}, TSheetCode{1, 2, 'a', 1, 1},
                                TSheetCode{1, 2, 'A', 1, 1000}})
    EXPECT_FALSE(DecodeSheetCode(EncodeSheetCode(bad)).has_value()) << EncodeSheetCode(bad);
}
