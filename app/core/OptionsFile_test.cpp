#include "app/core/OptionsFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/core/Cp1252.h"
#include "app/core/UserCode.h"
#include "testkit/core/SampleSet.h"
#include "testkit/core/TempDir.h"

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

// A file holds 48 bytes plus the password and reads back as written.
TEST(OptionsFile, RoundTripsThroughTheFile) {
  testkit::TTempDir dir;
  const std::vector<TOptionsRecord> records{TOptionsRecord(), TurnedOptions(""), TurnedOptions("P"),
                                            TurnedOptions(std::string(20, 'P')), TurnedOptions(Scramble("SECRET"))};
  for (const TOptionsRecord& o : records) {
    SCOPED_TRACE(o.AdminPassword);
    WriteOptionsFile(dir.Path("rt.opt"), o);
    EXPECT_EQ(std::filesystem::file_size(dir.Path("rt.opt")), 48 + o.AdminPassword.size());
    EXPECT_TRUE(ReadOptionsFile(dir.Path("rt.opt")) == o);
  }
}

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
  const struct {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"empty", ""},
      {"cut in the header", good.substr(0, 25)},
      {"cut in the password", good.substr(0, 32)},
      {"cut before the minutes end", good.substr(0, 42)},
      {"negative length", negative},
      {"length past the end", huge},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    try {
      DecodeOptions(c.bytes, "the.opt");
      ADD_FAILURE() << "accepted";
    } catch (const EFileError& e) {
      EXPECT_NE(std::string(e.what()).find("the.opt"), std::string::npos);
    }
  }
}

TEST(OptionsFile, Scramble) {
  const struct {
    std::string plain, scrambled;
  } cases[] = {
      {"ABC", "\x42\x44\x46"}, {"", ""}, {"\xFF\xFE", std::string("\x00\x00", 2)},  // wraps
  };
  for (const auto& c : cases) EXPECT_EQ(Scramble(c.plain), c.scrambled) << c.plain;

  const std::string s = Scramble(std::string(300, '\0'));
  EXPECT_EQ(static_cast<unsigned char>(s[254]), 255);
  EXPECT_EQ(static_cast<unsigned char>(s[255]), 0);   // position 256
  EXPECT_EQ(static_cast<unsigned char>(s[299]), 44);  // position 300
}

TEST(OptionsFile, UpperCaseOnlyTouchesAsciiLetters) {
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
  EXPECT_EQ(Utf8ToCp1252("a\xE2\x86\x92"
                         "b",
                         &missing),
            "a?b");  // arrow
  EXPECT_EQ(missing, std::u32string(1, U'\u2192'));
}

}  // namespace
