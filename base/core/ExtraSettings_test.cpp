// The settings beside the options file: what is written reads back, a
// damaged file names its line and gives way to the defaults, and keys of a
// newer program survive a rewrite.

#include "base/core/ExtraSettings.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "base/core/FileIO.h"
#include "testkit/core/TempDir.h"

using namespace proctorium;

TEST(ExtraSettings, WrittenSettingsReadBack) {
  TExtraSettings s;
  EXPECT_EQ(DecodeExtraSettings(EncodeExtraSettings(s), "x"), s);
  s.AskCandidateName = true;
  s.AskCandidateId = true;
  s.AllowUnlisted = true;
  s.PassMark = 65;
  s.OtherLines = {"FutureKey=something"};
  const std::string bytes = EncodeExtraSettings(s);
  EXPECT_NE(bytes.find("AskCandidateName=1\r\nAskCandidateId=1\r\nAllowUnlisted=1\r\nPassMark=65\r\n"),
            std::string::npos);
  EXPECT_EQ(DecodeExtraSettings(bytes, "x"), s);
  s.PassMark = 0;
  EXPECT_NE(EncodeExtraSettings(s).find("PassMark=\r\n"), std::string::npos);
}

TEST(ExtraSettings, LinesAsPeopleEditThem) {
  const struct {
    const char* Bytes;
    bool Name, Id, Unlisted;
    int PassMark;
  } cases[] = {
      {"", false, false, false, 0},
      {"\xEF\xBB\xBF; comment\n# another\n\n  AskCandidateName = yes \n", true, false, false, 0},
      {"askcandidateid=TRUE\r\npassmark=100\r\n", false, true, false, 100},
      {"PassMark=none\nAllowUnlisted=1\nAllowUnlisted=0", false, false, false, 0},
      {"PassMark=1", false, false, false, 1},
  };
  for (const auto& c : cases) {
    const TExtraSettings s = DecodeExtraSettings(c.Bytes, "x");
    EXPECT_EQ(s.AskCandidateName, c.Name) << c.Bytes;
    EXPECT_EQ(s.AskCandidateId, c.Id) << c.Bytes;
    EXPECT_EQ(s.AllowUnlisted, c.Unlisted) << c.Bytes;
    EXPECT_EQ(s.PassMark, c.PassMark) << c.Bytes;
  }
}

TEST(ExtraSettings, DamagedFileNamesTheLineAndGivesTheDefaults) {
  const struct {
    const char* Bytes;
    const char* Message;
  } cases[] = {
      {"AskCandidateName=1\nrubbish\n", "P.ini, line 2: \"rubbish\" is not a setting (key=value)"},
      {"PassMark=101\n", "P.ini, line 1: PassMark must be a per cent from 1 to 100, or nothing for none"},
      {"PassMark=-5\n", "P.ini, line 1: PassMark must be a per cent from 1 to 100, or nothing for none"},
      {"\n\nAskCandidateId=maybe", "P.ini, line 3: AskCandidateId must be 1 or 0"},
      {"=1", "P.ini, line 1: a setting without a name"},
  };
  for (const auto& c : cases) {
    try {
      DecodeExtraSettings(c.Bytes, "P.ini");
      ADD_FAILURE() << c.Bytes;
    } catch (const EFileError& e) {
      EXPECT_EQ(std::string(e.what()), c.Message);
    }
  }
  testkit::TTempDir dir;
  dir.WriteFile("P.ini", std::string("AskCandidateName=1\n\0\xff\xfe", 22));
  TExtraSettingsLoad load = ReadExtraSettings(dir.Path("P.ini"));
  EXPECT_EQ(load.Settings, TExtraSettings{});
  EXPECT_NE(load.Problem.find("line 2"), std::string::npos) << load.Problem;
  load = ReadExtraSettings(dir.Path("missing.ini"));
  EXPECT_EQ(load.Settings, TExtraSettings{});
  EXPECT_EQ(load.Problem, "");
  std::filesystem::create_directory(dir.Path("folder.ini"));
  EXPECT_NE(ReadExtraSettings(dir.Path("folder.ini")).Problem.find("not a regular file"), std::string::npos);
}

TEST(ExtraSettings, WriteReplacesTheFileWhole) {
  testkit::TTempDir dir;
  TExtraSettings s;
  s.PassMark = 40;
  WriteExtraSettings(dir.Path("P.ini"), s);
  EXPECT_EQ(ReadExtraSettings(dir.Path("P.ini")).Settings, s);
  EXPECT_THROW(WriteExtraSettings(dir.Path("no/such/P.ini"), s), EFileError);
  EXPECT_EQ(ReadExtraSettings(dir.Path("P.ini")).Settings, s);
}
