#include "questions/core/QuestionSet.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <tuple>
#include <utility>

#include "base/core/FileIO.h"
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
  EXPECT_EQ(std::tuple(back.NewFormat, back.LastIndex, back.Current, back.TimeStamp, back.OwnerCode, back.ProtectedSet),
            std::tuple(true, 12, 0, 46361.75, -123456789, true));
  for (int i = 0; i <= 12; ++i) EXPECT_TRUE(back.Questions[i] == set.Questions[i]) << i;
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
  // An old file has no owner, no time stamp and counts as protected.
  EXPECT_EQ(std::tuple(set.NewFormat, set.OwnerCode, set.TimeStamp, set.ProtectedSet, set.LastIndex),
            std::tuple(false, 0, 0.0, true, 1));
  EXPECT_TRUE(set.Questions[1] == q);
  set.SaveToFile(path);
  const std::string saved = dir.ReadFile("old.qst");
  EXPECT_EQ(saved.substr(0, 1) + std::to_string(saved.size()), "\xFF" + std::to_string(old.size() + 22))
      << "a 26-byte header replaces the 4-byte count";
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
    EXPECT_EQ(std::tuple(set.Current, set.LastIndex, set.NewFormat, set.TimeStamp),
              std::tuple(0, before.LastIndex, before.NewFormat, before.TimeStamp));
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

TEST(QuestionSet, AddStopsAt250) {
  TQuestionSet set = testkit::MakeSet(250);
  set.SetCurrent(7);
  set.Add(TQuestion{});
  EXPECT_EQ(set.LastIndex, 250);
  EXPECT_EQ(set.Current, 7);
  EXPECT_EQ(set.Questions[250].Text, "Question 250");
}

TEST(QuestionSet, DeleteCurrent) {
  // questions, current; then last index, current and its text afterwards
  const std::tuple<int, int, int, int, const char*> cases[] = {
      {5, 3, 4, 3, "Question 4"}, {5, 5, 4, 4, "Question 4"}, {1, 1, 0, 0, "A test set"}, {0, 0, 0, 0, "A test set"}};
  for (const auto& [count, current, lastAfter, currentAfter, textAfter] : cases) {
    TQuestionSet set = testkit::MakeSet(count);
    set.SetCurrent(current);
    set.DeleteCurrent();
    EXPECT_EQ(std::tuple(set.LastIndex, set.Current, set.GetCurrent().Text),
              std::tuple(lastAfter, currentAfter, std::string(textAfter)));
  }
}

TEST(QuestionSet, SearchRules) {
  TQuestionSet set = testkit::MakeSet(3, "Overview");
  set.Questions[1].Text = "A Router";
  set.Questions[2].Text = "caf\xE9";  // Windows-1252, as the set holds it
  set.Questions[3].ExhibitFile = "diagram.bmp";
  // text, from the next question, current before; found, current after
  const std::tuple<std::string, bool, int, bool, int> cases[] = {
      {"overview", false, 2, false, 2},    // the description is not searched
      {"ROUTER", true, 0, true, 1},        // A to Z in either case, from the next question on
      {"router", true, 1, false, 1},       // no wrap-around
      {"CAF\xC3\x89", false, 0, true, 2},  // every letter in either case (UTF-8 search text)
      {"diagram", false, 0, false, 0},     // nor the exhibit's name
  };
  for (const auto& [text, fromNext, startAt, found, currentAfter] : cases) {
    set.SetCurrent(startAt);
    const bool hit = set.Search(text, fromNext);
    EXPECT_EQ(std::pair(hit, set.Current), std::pair(found, currentAfter)) << text;
  }
}

}  // namespace
