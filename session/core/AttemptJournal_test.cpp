#include "session/core/AttemptJournal.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/core/FileIO.h"
#include "testkit/core/SampleSet.h"
#include "testkit/core/TempDir.h"

using namespace proctorium;

namespace {

TQuestionSet ShuffledSet(int n) {
  TQuestionSet set = testkit::MakeSet(n);
  set.Questions[0].CorrectMask = 1;  // questions shuffled
  for (int q = 1; q <= n; ++q) set.Questions[q].RandomizeAnswers = 1;
  return set;
}

// A session part-way through: some questions shown, answered and marked.
TTestSession Midway(const TQuestionSet& set, TRandomSource& random, bool all, int draw) {
  TTestSession s(random);
  s.ScoreAll = all;
  s.DrawCount = draw;
  s.Start(set);
  for (int i = 1; i <= 3; ++i) {
    const int q = s.TakingOrder[i];
    s.EnsureAnswerOrder(q, set.Questions[q]);
    s.QuestionStates[q].Seen = true;
    s.StoreResponse(q, i == 1 ? s.QuestionStates[q].DisplayCorrectMask : AnswerMask(i == 2 ? 2 : 0));
  }
  s.QuestionStates[s.TakingOrder[3]].Marked = true;
  s.CurrentPosition = 3;
  return s;
}

}  // namespace

// Whatever the rule and the draw, a restored session asks the same
// questions in the same order with the same answer order, and scores the
// same, whether it is ended now or later.
TEST(AttemptJournal, RestoredSessionIsTheSameTest) {
  const TQuestionSet set = ShuffledSet(8);
  for (const bool all : {false, true})
    for (const int draw : {0, 5}) {
      TRandomSource random;
      random.Pin(99);
      TTestSession before = Midway(set, random, all, draw);
      TAttempt a = CaptureAttempt(before);
      a.SetFile = "Quiz.qst";
      a.CandidateName = "Zoë\r\nSmith";
      a.SecondsUsed = 125;
      a.FocusLosses = 2;
      const TAttempt back = DecodeAttempt(EncodeAttempt(a), "j");
      a.CandidateName = "Zoë  Smith";  // kept on one line
      EXPECT_EQ(back, a);
      TTestSession after;
      RestoreAttempt(back, set, after);
      EXPECT_EQ(after.PositionCount, before.PositionCount);
      EXPECT_EQ(after.CurrentPosition, 3);
      for (int i = 1; i <= before.PositionCount; ++i) EXPECT_EQ(after.TakingOrder[i], before.TakingOrder[i]);
      for (int q = 1; q <= 8; ++q) {
        EXPECT_EQ(after.QuestionStates[q].InTest, before.QuestionStates[q].InTest) << q;
        EXPECT_EQ(after.QuestionStates[q].Response, before.QuestionStates[q].Response) << q;
        EXPECT_EQ(after.QuestionStates[q].Marked, before.QuestionStates[q].Marked) << q;
        if (before.AnswerOrderBuilt(q)) {
          EXPECT_EQ(after.AnswerOrder[q], before.AnswerOrder[q]) << q;
        }
        EXPECT_EQ(after.AnswerOrderBuilt(q), before.AnswerOrderBuilt(q)) << q;
      }
      EXPECT_EQ(ScoreText(after.UpdateScore(true)), ScoreText(before.UpdateScore(true))) << all << draw;
      EXPECT_EQ(after.IncorrectList(), before.IncorrectList());
      EXPECT_EQ(back.Answered(), 2);
    }
}

TEST(AttemptJournal, DamagedOrCutShortRecordsAreRefused) {
  TAttempt a;
  a.Order = {2, 1};
  a.Questions = {{1, {1, 2, 0, 0, 0, 0, 0, 0}, 1, true, false}, {2, {}, 0, false, false}};
  const std::string good = EncodeAttempt(a);
  EXPECT_EQ(DecodeAttempt(good, "j"), a);
  const std::vector<std::string> bad = {
      "",
      good.substr(0, good.size() - 7),   // no end line
      good.substr(good.find('\n') + 1),  // no heading
      "[Proctorium attempt]\r\norder=\r\nend=1\r\n",
      "[Proctorium attempt]\r\norder=1\r\nposition=2\r\nend=1\r\n",
      "[Proctorium attempt]\r\norder=1,x\r\nend=1\r\n",
      "[Proctorium attempt]\r\norder=1\r\nq=1;12;0;0;0\r\nend=1\r\n",
      "[Proctorium attempt]\r\norder=1\r\nq=1;00000000;0;2;0\r\nend=1\r\n",
      "[Proctorium attempt]\r\norder=1\r\nfingerprint=xyz\r\nend=1\r\n",
  };
  for (const std::string& bytes : bad) EXPECT_THROW(DecodeAttempt(bytes, "j"), EFileError) << bytes;
}

// A journal whose owner is alive is never offered; once the owner is gone
// it is, to one seat at a time; a finished attempt leaves nothing behind.
TEST(AttemptJournal, OnlyAbandonedAttemptsAreFound) {
  testkit::TTempDir dir;
  const std::string folder = dir.Path("attempts/");
  TAttempt a;
  a.SetFile = "Quiz.qst";
  a.Order = {1};
  a.Questions = {{1, {}, 0, false, false}};
  std::string path;
  {
    TAttemptJournal running(folder);
    running.Write(a);
    path = running.Path();
    EXPECT_TRUE(FindUnfinishedAttempts(folder).empty());
  }
  EXPECT_FALSE(FileExists(path));
  EXPECT_TRUE(FindUnfinishedAttempts(folder).empty());

  // What a killed instance leaves: the journal and an unlocked lock file.
  const std::string base = folder + "attempt-0123456789abcdef";
  dir.WriteFile("attempts/attempt-0123456789abcdef.journal", EncodeAttempt(a));
  dir.WriteFile("attempts/attempt-0123456789abcdef.lock", "");
  dir.WriteFile("attempts/attempt-1111111111111111.journal", "torn");
  int damaged = 0;
  std::vector<TUnfinishedAttempt> found = FindUnfinishedAttempts(folder, &damaged);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(damaged, 1);
  EXPECT_EQ(found[0].Attempt, a);
  // While this seat holds it, another finds nothing to take.
  EXPECT_TRUE(FindUnfinishedAttempts(folder).empty());
  RemoveAttempt(found[0]);
  EXPECT_FALSE(FileExists(base + ".journal"));
  EXPECT_FALSE(FileExists(base + ".lock"));
  EXPECT_TRUE(FindUnfinishedAttempts(folder).empty());
}
