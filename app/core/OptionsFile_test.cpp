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

TEST(OptionsFile, LayoutPlacesEveryField) {
  const std::string bytes = EncodeOptions(TurnedOptions("XYZ"));
  ASSERT_EQ(bytes.size(), size_t(48 + 3));
  EXPECT_EQ(int(bytes[8]), 0);   // ShowHints
  EXPECT_EQ(int(bytes[9]), 1);   // DeletePermitted
  EXPECT_EQ(int(bytes[10]), 0);  // EnableAnswers
  EXPECT_EQ(int(bytes[11]), 1);  // AllowEdits
  EXPECT_EQ(int(bytes[12]), 1);  // EnableClearResults
  EXPECT_EQ(int(bytes[21]), 12);
  EXPECT_EQ(bytes.substr(22, 4), std::string("\x05\x00\x00\x80", 4));
  EXPECT_EQ(bytes.substr(26, 4), std::string("\x03\x00\x00\x00", 4));
  EXPECT_EQ(bytes.substr(30, 3), "XYZ");
  EXPECT_EQ(int(bytes[34 + 3]), 0);  // EnableRunningScore
  EXPECT_EQ(int(bytes[35 + 3]), 0);  // TimeMode: time remaining
  EXPECT_EQ(bytes.substr(36 + 3, 4), std::string("\x2D\x00\x00\x00", 4));
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

TEST(OptionsFile, MissingFileIsReported) {
  testkit::TTempDir dir;
  try {
    ReadOptionsFile(dir.Path("none.opt"));
    ADD_FAILURE() << "no error";
  } catch (const EFileError& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot open file " + dir.Path("none.opt"));
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
  EXPECT_EQ(Scramble(UpperAscii("secret")), Scramble(UpperAscii("SeCrEt")));
}

TEST(UserCode, StableAndNeverZero) {
  EXPECT_EQ(MakeUserCode("Alice", "host"), MakeUserCode("alice", "host"));
  EXPECT_NE(MakeUserCode("alice", "host"), MakeUserCode("bob", "host"));
  EXPECT_NE(MakeUserCode("alice", "host"), MakeUserCode("alice", "other"));
  EXPECT_EQ(UserCode(), UserCode());
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
