#include "session/core/TestSettings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/core/FileIO.h"
#include "base/core/OptionsFile.h"
#include "testkit/core/TempDir.h"

using namespace proctorium;

namespace {

TTestSettings Everything() {
  TTestSettings s;
  s.ExamMode = true;
  s.Clock = TClockRule::Countdown;
  s.CountdownMinutes = 45;
  s.RunningScore = false;
  s.AnswersButton = false;
  s.Review = TReviewRule::OnRelease;
  s.ReviewReleased = true;
  s.ScoreAllQuestions = true;
  s.DrawCount = 20;
  s.StartPassword = Scramble(
      "\xff"
      "ABC=\r\n");
  s.OpenFrom = "2026-12-07 09:00";
  s.OpenUntil = "2026-12-07 10:30";
  return s;
}

const std::string Head = "[Proctorium test settings]\r\n";

}  // namespace

TEST(TestSettings, EveryFieldSurvivesTheFile) {
  const TTestSettings s = Everything();
  EXPECT_EQ(DecodeTestSettings(EncodeTestSettings(s), "x"), s);
  EXPECT_EQ(DecodeTestSettings(EncodeTestSettings({}), "x"), TTestSettings{});
  // Lines in any order, LF endings, blank lines and keys of a later version.
  EXPECT_EQ(DecodeTestSettings("[Proctorium test settings]\nfuture=1\n\nexam=1\ndraw=5\n", "x").DrawCount, 5);
}

TEST(TestSettings, DamagedFilesAreRefusedWithTheirName) {
  const std::vector<std::string> damaged = {
      "",
      "exam=1\r\n",  // no heading
      Head + "exam\r\n",
      Head + "exam=2\r\n",
      Head + "clock=sometimes\r\n",
      Head + "clock=countdown\r\nminutes=0\r\n",
      Head + "minutes=-5\r\n",
      Head + "draw=251\r\n",
      Head + "review=later\r\n",
      Head + "score=best\r\n",
      Head + "password=abc\r\n",
      Head + "from=2026-13-01 09:00\r\n",
      Head + "until=tomorrow\r\n",
  };
  for (const std::string& bytes : damaged) {
    try {
      DecodeTestSettings(bytes, "Tests/A.qst.exam");
      ADD_FAILURE() << "accepted: " << bytes;
    } catch (const EFileError& e) {
      EXPECT_NE(std::string(e.what()).find("Tests/A.qst.exam"), std::string::npos) << e.what();
    }
  }
}

TEST(TestSettings, RulesDerivedFromTheSettings) {
  struct Row {
    bool exam;
    bool all;
    TReviewRule review;
    bool released;
    bool scoresAll;
    bool reviewAllowed;
  };
  const Row rows[] = {
      {false, false, TReviewRule::Immediately, false, false, true},
      {false, true, TReviewRule::Never, true, true, false},
      {true, false, TReviewRule::OnRelease, false, true, false},
      {true, false, TReviewRule::OnRelease, true, true, true},
  };
  for (const Row& r : rows) {
    TTestSettings s;
    s.ExamMode = r.exam;
    s.ScoreAllQuestions = r.all;
    s.Review = r.review;
    s.ReviewReleased = r.released;
    EXPECT_EQ(s.ScoresAll(), r.scoresAll);
    EXPECT_EQ(s.ReviewAllowed(), r.reviewAllowed);
  }
}

TEST(TestSettings, OpeningWindow) {
  TTestSettings s;
  EXPECT_EQ(OpenStateAt(s, "2026-12-07 08:00"), TOpenState::Open);
  s.OpenFrom = "2026-12-07 09:00";
  s.OpenUntil = "2026-12-07 10:30";
  const std::pair<const char*, TOpenState> rows[] = {
      {"2026-12-07 08:59", TOpenState::NotYet}, {"2026-12-07 09:00", TOpenState::Open},
      {"2026-12-07 10:29", TOpenState::Open},   {"2026-12-07 10:30", TOpenState::Closed},
      {"2027-01-01 00:00", TOpenState::Closed}, {"2025-12-31 23:59", TOpenState::NotYet},
  };
  for (const auto& [now, state] : rows) EXPECT_EQ(OpenStateAt(s, now), state) << now;
}

TEST(TestSettings, FileFollowsTheSet) {
  testkit::TTempDir dir;
  const std::string a = dir.Path("A.qst"), b = dir.Path("B.qst");
  EXPECT_EQ(ReadTestSettings(a), TTestSettings{});  // none: today's behaviour
  WriteTestSettings(a, Everything());
  EXPECT_EQ(TestSettingsPath(a), a + ".exam");
  EXPECT_EQ(ReadTestSettings(a), Everything());

  CopyTestSettings(a, b);
  EXPECT_EQ(ReadTestSettings(b), Everything());
  // A copy from a set without settings leaves the target without any.
  CopyTestSettings(dir.Path("Blank.dat"), b);
  EXPECT_FALSE(FileExists(TestSettingsPath(b)));

  WriteTestSettings(a, {});  // the defaults are no file at all
  EXPECT_FALSE(FileExists(TestSettingsPath(a)));
  WriteTestSettings(a, Everything());
  DeleteTestSettings(a);
  EXPECT_FALSE(FileExists(TestSettingsPath(a)));
  DeleteTestSettings(a);  // twice is fine

  WriteFileAtomic(TestSettingsPath(a), "garbage");
  EXPECT_THROW(ReadTestSettings(a), EFileError);
}
