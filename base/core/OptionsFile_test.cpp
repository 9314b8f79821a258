#include "base/core/OptionsFile.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "base/core/Cp1252.h"
#include "base/core/UserCode.h"
#include "testkit/core/SampleSet.h"

using namespace proctorium;

namespace {

using testkit::TurnedOptions;

// Filler, five flags, filler, font size, colour, password length and
// password; filler, running score, time mode, minutes, filler.
TEST(OptionsFile, LayoutPlacesEveryField) {
  const std::string expected(
      "\0\0\0\0\0\0\0\0\0\1\0\1\1\0\0\0\0\0\0\0\0\x0C\x05\0\0\x80\3\0\0\0XYZ"
      "\0\0\0\0\0\0\x2D\0\0\0\0\0\0\0\0\0\0\0",
      51);
  EXPECT_EQ(EncodeOptions(TurnedOptions("XYZ")), expected);
}

// Every field decodes from where it is placed, whatever the fillers hold.
TEST(OptionsFile, FillersAreSkippedAndTailIgnored) {
  std::string bytes = EncodeOptions(TurnedOptions("AB"));
  for (size_t i : {0u, 3u, 13u, 20u, 32u, 33u}) bytes[i] = '\x5A';
  bytes.resize(bytes.size() - 8);  // a reader stops after the minutes
  EXPECT_TRUE(DecodeOptions(bytes, "x") == TurnedOptions("AB"));
}

TEST(OptionsFile, DamagedFilesAreRefused) {
  const std::string good = EncodeOptions(TurnedOptions("ABCD"));
  std::string negative = good;
  negative.replace(26, 4, std::string("\xFF\xFF\xFF\xFF", 4));
  std::string huge = good;
  huge.replace(26, 4, std::string("\x00\x00\x00\x7F", 4));
  const std::pair<const char*, std::string> cases[] = {
      {"empty", ""},
      {"cut in the password", good.substr(0, 32)},
      {"negative length", negative},
      {"length past the end", huge},
  };
  for (const auto& [name, bytes] : cases) {
    SCOPED_TRACE(name);
    try {
      DecodeOptions(bytes, "the.opt");
      ADD_FAILURE() << "accepted";
    } catch (const EFileError& e) {
      EXPECT_NE(std::string(e.what()).find("the.opt"), std::string::npos);
    }
  }
}

// Each byte shifted by its position, wrapping at 256 in value and place.
TEST(OptionsFile, ScrambleAndCase) {
  EXPECT_EQ(Scramble("ABC"), "\x42\x44\x46");
  EXPECT_EQ(Scramble("\xFF\xFE"), std::string("\x00\x00", 2));
  EXPECT_EQ(static_cast<unsigned char>(Scramble(std::string(300, '\0'))[299]), 44);
  EXPECT_EQ(UpperAscii("abc xyz \xE9\xFF 09"), "ABC XYZ \xE9\xFF 09");
}

TEST(UserCode, StableAndNeverZero) {
  EXPECT_EQ(MakeUserCode("Alice", "host"), MakeUserCode("alice", "host"));
  EXPECT_NE(MakeUserCode("alice", "host"), MakeUserCode("bob", "host"));
  EXPECT_NE(MakeUserCode("alice", "host"), MakeUserCode("alice", "other"));
  EXPECT_NE(UserCode(), 0);
}

TEST(Cp1252, RoundTripsEveryByte) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
  EXPECT_EQ(Cp1252ToUtf8("\x80"), "\xE2\x82\xAC");  // euro sign
  std::u32string missing;
  EXPECT_EQ(Utf8ToCp1252("a\342\206\222b", &missing), "a?b");  // arrow
  EXPECT_EQ(missing, std::u32string(1, U'\u2192'));
}

}  // namespace
