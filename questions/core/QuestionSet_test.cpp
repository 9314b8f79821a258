#include "questions/core/QuestionSet.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <tuple>
#include <utility>

#include "app/core/FileIO.h"
#include "testkit/core/SampleSet.h"
#include "testkit/core/TempDir.h"

using namespace proctorium;

namespace {

std::string Bytes(std::initializer_list<int> values) {
  std::string s;
  for (int v : values) s.push_back(static_cast<char>(v));
  return s;
}

std::string Int32Le(std::int32_t v) {
  auto u = static_cast<std::uint32_t>(v);
  return Bytes({int(u & 255), int((u >> 8) & 255), int((u >> 16) & 255), int((u >> 24) & 255)});
}

TQuestion FullQuestion(int seed) {
  TQuestion q;
  q.Text = "Question " + std::to_string(seed) + "\r\nsecond line \xE9\xEF\xFF";
  q.AnswerType = static_cast<TAnswerType>(seed % 2);
  q.RandomizeAnswers = static_cast<std::uint8_t>((seed + 1) % 2);
  for (int a = 0; a < AnswerCount; ++a) q.Answers[a] = "answer " + std::string(1, char('A' + a)) + std::to_string(seed);
  q.CorrectMask = static_cast<AnswerMask>(seed * 37);
  q.Remarks = "see chapter " + std::to_string(seed);
  q.ExhibitFile = "pic" + std::to_string(seed) + ".bmp";
  return q;
}

// A set holding only a description, as a file: header, then the record
// with its text bytes as stored.
std::string DescriptionOnlyFile(const std::string& stored) {
  std::string s = Bytes({0xFF}) + std::string(16, '\0') + Int32Le(0) + Bytes({0}) + Int32Le(0) +
                  Int32Le(static_cast<std::int32_t>(stored.size())) + stored + Bytes({0, 0});
  for (int i = 0; i < 8; ++i) s += Int32Le(0);
  return s + Bytes({0}) + Int32Le(0) + Int32Le(0);
}

TEST(QuestionSetFile, ByteExactWithTextBytesShiftedBy17) {
  const std::pair<std::string, std::string> cases[] = {
      {"Hi", "\x59\x7A"}, {"abc", "\x72\x73\x74"}, {"\r\n", "\x1E\x1B"}, {"\xEF", std::string(1, '\0')},  // wraps to 00
      {"\xFF", "\x10"},                                                                                   // wraps to 10
  };
  for (const auto& [text, stored] : cases) {
    SCOPED_TRACE(stored);
    TQuestionSet set;
    TQuestion d;
    d.Text = text;
    set.Add(d);
    set.ProtectedSet = false;
    set.TimeStamp = 0.0;
    const std::string bytes = set.Serialize();
    EXPECT_EQ(bytes, DescriptionOnlyFile(stored));
    TQuestionSet back;
    EXPECT_TRUE(back.Parse(bytes, "x"));
    EXPECT_EQ(back.Questions[0].Text, text);
  }
}

TEST(QuestionSetFile, RoundTripKeepsEveryField) {
  testkit::TTempDir dir;
  TQuestionSet set;
  for (int i = 0; i <= 12; ++i) set.Add(FullQuestion(i));
  set.TimeStamp = 46361.75;
  set.OwnerCode = -123456789;
  set.ProtectedSet = true;
  set.SaveToFile(dir.Path("round.qst"));
  TQuestionSet back;
  ASSERT_TRUE(back.LoadFromFile(dir.Path("round.qst")));
  EXPECT_TRUE(back.NewFormat);
  EXPECT_EQ(back.LastIndex, 12);
  EXPECT_EQ(back.Current, 0);
  EXPECT_EQ(back.TimeStamp, 46361.75);
  EXPECT_EQ(back.OwnerCode, -123456789);
  EXPECT_TRUE(back.ProtectedSet);
  for (int i = 0; i <= 12; ++i) EXPECT_TRUE(back.Questions[i] == set.Questions[i]) << i;
}

TEST(QuestionSetFile, FillerIgnoredAndZeroTimeStampReplaced) {
  TQuestionSet set = testkit::MakeSet(3);
  set.TimeStamp = 0.0;
  std::string a = set.Serialize();
  std::string b = a;
  for (int i = 1; i <= 8; ++i) b[i] = static_cast<char>(0xA0 + i);
  TQuestionSet x, y;
  x.Parse(a, "a");
  y.Parse(b, "b");
  ASSERT_EQ(x.LastIndex, y.LastIndex);
  for (int i = 0; i <= x.LastIndex; ++i) EXPECT_TRUE(x.Questions[i] == y.Questions[i]);
  EXPECT_TRUE(x.TimeStamp > 0.0 && x.TimeStamp < 1.0);  // the time of day of the load
}

TEST(QuestionSetFile, OldFormatLoadsAndSavesAsNew) {
  testkit::TTempDir dir;
  const std::string path = dir.Path("old.qst");
  TQuestionSet oldSet = testkit::MakeSet(1, "Old description");
  TQuestion& q = oldSet.Questions[1];
  q.Answers[2] = q.Answers[3] = "";
  q.CorrectMask = 2;
  const std::string old = testkit::OldFormatBytes(oldSet);
  dir.WriteFile("old.qst", old);
  TQuestionSet set;
  set.OwnerCode = 99;
  set.TimeStamp = 5.0;
  set.ProtectedSet = false;
  EXPECT_FALSE(set.LoadFromFile(path));
  EXPECT_FALSE(set.NewFormat);
  EXPECT_EQ(set.OwnerCode, 0);
  EXPECT_EQ(set.TimeStamp, 0.0);
  EXPECT_TRUE(set.ProtectedSet);
  ASSERT_EQ(set.LastIndex, 1);
  EXPECT_TRUE(set.Questions[1] == q);
  set.SaveToFile(path);
  const std::string saved = dir.ReadFile("old.qst");
  ASSERT_FALSE(saved.empty());
  EXPECT_EQ(static_cast<unsigned char>(saved[0]), 0xFF);
  EXPECT_EQ(saved.size(), old.size() + 22);  // 26-byte header replaces the 4-byte count
  EXPECT_FALSE(set.NewFormat);               // saving does not change what the load found
  TQuestionSet again;
  EXPECT_TRUE(again.LoadFromFile(path));
  EXPECT_TRUE(again.Questions[1] == q);
}

TEST(QuestionSetFile, DamagedFilesAreRefusedAndLeaveTheSetAlone) {
  const std::string good = testkit::MakeSet(2).Serialize();
  auto patched = [&good](size_t at, std::int32_t value) {
    std::string s = good;
    s.replace(at, 4, Int32Le(value));
    return s;
  };
  const std::pair<const char*, std::optional<std::string>> cases[] = {
      {"empty", ""},
      {"marker only", "\xFF"},
      {"header cut", good.substr(0, 20)},
      {"last record cut", good.substr(0, good.size() - 1)},
      {"negative text count", patched(26, -5)},
      {"huge text count", patched(26, 0x7FFFFFF0)},
      {"LastIndex 251", patched(22, 251)},
      {"LastIndex -1", patched(22, -1)},
      {"records missing", patched(22, 5)},
      {"old format count out of range", Int32Le(1000)},
      {"missing", std::nullopt},
  };
  testkit::TTempDir dir;
  const std::string path = dir.Path("bad.qst");
  for (const auto& [name, bytes] : cases) {
    SCOPED_TRACE(name);
    std::filesystem::remove(path);
    if (bytes) dir.WriteFile("bad.qst", *bytes);
    TQuestionSet set = testkit::MakeSet(4, "kept");
    set.Current = 3;
    const TQuestionSet before = set;
    try {
      set.LoadFromFile(path);
      ADD_FAILURE() << "a damaged file was accepted";
    } catch (const EFileError& e) {
      const std::string says = (bytes ? "Damaged question set file " : "Cannot open file ") + path;
      EXPECT_EQ(std::string(e.what()).substr(0, says.size()), says);
    }
    EXPECT_EQ(set.Current, 0);
    EXPECT_EQ(set.LastIndex, before.LastIndex);
    EXPECT_EQ(set.NewFormat, before.NewFormat);
    EXPECT_EQ(set.TimeStamp, before.TimeStamp);
    for (int i = 0; i <= 4; ++i) EXPECT_TRUE(set.Questions[i] == before.Questions[i]);
  }
}

// A save that fails keeps the previous file; a set without a description
// writes nothing at all.
TEST(QuestionSetFile, SavingNeverCostsThePreviousFile) {
  testkit::TTempDir dir;
  testkit::MakeSet(2).SaveToFile(dir.Path("keep.qst"));
  const std::string before = dir.ReadFile("keep.qst");
  const std::string missingFolder = dir.Path("no-such-folder/keep.qst");
  try {
    testkit::MakeSet(5).SaveToFile(missingFolder);
    ADD_FAILURE() << "no error";
  } catch (const EFileError& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot create file " + missingFolder + ": " + SystemReason(ENOENT));
  }
  TQuestionSet().SaveToFile(dir.Path("keep.qst"));
  TQuestionSet().SaveToFile(dir.Path("never.qst"));
  EXPECT_EQ(dir.ReadFile("keep.qst"), before);
  for (const auto& entry : std::filesystem::directory_iterator(dir.Folder()))
    EXPECT_EQ(entry.path().filename(), "keep.qst");
}

TEST(QuestionSet, SetCurrentRange) {
  const struct { int index, expected; } cases[] = {{-1, 2}, {0, 0}, {5, 5}, {6, 2}};  // LastIndex is 5
  for (const auto& c : cases) {
    TQuestionSet set = testkit::MakeSet(5);
    set.SetCurrent(2);
    set.SetCurrent(c.index);
    EXPECT_EQ(set.Current, c.expected) << c.index;
  }
}

TEST(QuestionSet, AddAtTheLimit) {
  TQuestionSet set = testkit::MakeSet(249);
  set.SetCurrent(10);
  TQuestion q;
  q.Text = "the 250th";
  set.Add(q);
  EXPECT_EQ(set.LastIndex, 250);
  EXPECT_EQ(set.Current, 250);
  set.SetCurrent(7);
  q.Text = "one too many";
  set.Add(q);
  EXPECT_EQ(set.LastIndex, 250);
  EXPECT_EQ(set.Current, 7);
  EXPECT_EQ(set.Questions[250].Text, "the 250th");
}

TEST(QuestionSet, DeleteCurrent) {
  // name, questions, current; then last index, current and its text afterwards
  const std::tuple<const char*, int, int, int, int, const char*> cases[] = {
      {"3 of 5", 5, 3, 4, 3, "Question 4"},           {"last of 5", 5, 5, 4, 4, "Question 4"},
      {"first of 5", 5, 1, 4, 1, "Question 2"},       {"the only one", 1, 1, 0, 0, "A test set"},
      {"description only", 0, 0, 0, 0, "A test set"},
  };
  for (const auto& [name, count, current, lastAfter, currentAfter, textAfter] : cases) {
    SCOPED_TRACE(name);
    TQuestionSet set = testkit::MakeSet(count);
    set.SetCurrent(current);
    set.DeleteCurrent();
    EXPECT_EQ(set.LastIndex, lastAfter);
    EXPECT_EQ(set.Current, currentAfter);
    EXPECT_EQ(set.GetCurrent().Text, textAfter);
  }
}

TEST(QuestionSet, AnswersInUse) {
  const std::pair<const char*, int> cases[] = {{"--------", 0}, {"XXXX-X--", 4}, {"XXXXXXXX", 8}, {"-XXXXXXX", 0}};
  for (const auto& [filled, inUse] : cases) {
    TQuestion q;
    for (int i = 0; i < 8; ++i)
      if (filled[i] == 'X') q.Answers[i] = "a";
    EXPECT_EQ(AnswersInUse(q), inUse) << filled;
  }
}

TEST(QuestionSet, Search) {
  // Texts are Windows-1252, as the set holds them.
  // name, text, from the next question, current before; found, current after
  const std::tuple<const char*, std::string, bool, int, bool, int> cases[] = {
      {"empty text", "", false, 2, false, 2},
      {"only in description", "overview", false, 2, false, 2},
      {"first hit", "router", false, 3, true, 1},
      {"next goes past the current", "router", true, 1, true, 3},
      {"no wrap-around", "router", true, 3, false, 3},
      {"next from the description", "router", true, 0, true, 1},
      {"lower finds capitals", "switch", false, 0, true, 2},
      {"capitals find lower", "HUB", false, 0, true, 4},
      {"accent same case", "caf\xE9", false, 0, true, 4},
      {"accent other case", "CAF\xC9", false, 0, false, 0},
      {"exhibit name not searched", "diagram", false, 0, false, 0},
      {"remarks searched", "chapter 9", false, 0, true, 2},
      {"across fields", "TEXTANSWER", false, 0, true, 4},
  };
  for (const auto& [name, text, fromNext, startAt, found, currentAfter] : cases) {
    SCOPED_TRACE(name);
    TQuestionSet set = testkit::MakeSet(4, "Overview");
    set.Questions[1].Text = "What does a Router do?";
    set.Questions[2].Text = "A SWITCH forwards frames";
    set.Questions[2].Remarks = "Chapter 9";
    set.Questions[3].Answers[1] = "router";
    set.Questions[3].ExhibitFile = "diagram.bmp";
    set.Questions[4].Text = "hub or caf\xE9 text";
    set.Questions[4].Answers[0] = "answer";
    set.SetCurrent(startAt);
    EXPECT_EQ(set.Search(text, fromNext), found);
    EXPECT_EQ(set.Current, currentAfter);
  }

  TQuestionSet empty = testkit::MakeSet(0, "router");
  EXPECT_FALSE(empty.Search("router", false)) << "a set without questions";
  EXPECT_EQ(empty.Current, 0);
}

}  // namespace
