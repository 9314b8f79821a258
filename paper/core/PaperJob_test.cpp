// Paper versions: drawn by the test window's shuffle rules from a seed, so
// the same job can be printed again, and recorded in a file that gives back
// exactly what was printed or refuses to load.

#include "paper/core/PaperJob.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <set>

#include "base/core/FileIO.h"
#include "testkit/core/SampleSet.h"

using namespace proctorium;

namespace {

constexpr TSheetOptions kA4{TPaperSize::A4, 6};

// Questions of two to eight answers, several correct ones here and there,
// and one with an empty answer between filled ones.
TQuestionSet MixedSet(bool shuffleQuestions, bool shuffleAnswers, int questions = 40) {
  TQuestionSet set = testkit::MakeSet(questions);
  if (shuffleQuestions) set.Questions[0].CorrectMask |= 1;
  for (int i = 1; i <= questions; ++i) {
    TQuestion& q = set.Questions[i];
    const int n = 2 + i % 7;
    q.Answers = {};
    for (int a = 0; a < n; ++a) q.Answers[a] = "Answer " + std::to_string(i) + "." + char('A' + a);
    q.CorrectMask = static_cast<AnswerMask>((i % 3 == 0 ? 0b101u : 0b10u) & ((1u << n) - 1));
    q.RandomizeAnswers = shuffleAnswers ? 1 : 0;
  }
  set.Questions[5].Answers[2].clear();  // A, B, _, D, E, F, G
  return set;
}

std::vector<int> NonEmptyAnswers(const TQuestion& q) {
  std::vector<int> answers;
  for (int a = 0; a < AnswerCount; ++a)
    if (!q.Answers[a].empty()) answers.push_back(a);
  return answers;
}

std::vector<int> Order(const TPaperVersion& version) {
  std::vector<int> order;
  for (const TPaperQuestion& q : version.Questions) order.push_back(q.SetQuestion);
  return order;
}

}  // namespace

TEST(PaperJob, VersionsFollowTheShuffleRules) {
  const struct {
    const char* Name;
    bool Questions, Answers;
  } cases[] = {{"nothing shuffled", false, false},
               {"questions only", true, false},
               {"answers only", false, true},
               {"both", true, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    const TQuestionSet set = MixedSet(c.Questions, c.Answers);
    const TPaperJob job = MakePaperJob(set, "Mixed.qst", 4, 12345, kA4);
    ASSERT_EQ(job.Versions.size(), 4u);
    EXPECT_EQ(job.Fingerprint, MakePaperJob(set, "Mixed.qst", 1, 9, kA4).Fingerprint);
    std::vector<int> identity(40);
    std::iota(identity.begin(), identity.end(), 1);
    bool anyQuestionMoved = false, anyAnswerMoved = false;
    for (size_t v = 0; v < job.Versions.size(); ++v) {
      const TPaperVersion& version = job.Versions[v];
      EXPECT_EQ(version.Letter, 'A' + static_cast<int>(v));
      std::vector<int> order = Order(version);
      anyQuestionMoved |= order != identity;
      std::sort(order.begin(), order.end());
      EXPECT_EQ(order, identity) << "every question once";
      size_t rows = 0;
      for (const auto& sheet : version.Sheets) rows += sheet.Rows.size();
      EXPECT_EQ(rows, version.Questions.size());
      for (size_t i = 0; i < version.Questions.size(); ++i) {
        const TPaperQuestion& printed = version.Questions[i];
        const TQuestion& q = set.Questions[printed.SetQuestion];
        std::vector<int> answers = printed.Answers;
        anyAnswerMoved |= !std::is_sorted(answers.begin(), answers.end());
        std::sort(answers.begin(), answers.end());
        EXPECT_EQ(answers, NonEmptyAnswers(q)) << "question " << printed.SetQuestion;
        for (size_t k = 0; k < printed.Answers.size(); ++k)
          EXPECT_EQ((printed.Key >> k) & 1, (q.CorrectMask >> printed.Answers[k]) & 1);
        EXPECT_EQ(printed.Key >> printed.Answers.size(), 0);
        // The sheet has a box per printed answer.
        int position = static_cast<int>(i) + 1, boxes = -1;
        for (const auto& sheet : version.Sheets)
          for (const auto& row : sheet.Rows)
            if (row.Position == position) boxes = static_cast<int>(row.Boxes.size());
        EXPECT_EQ(boxes, static_cast<int>(printed.Answers.size()));
      }
    }
    EXPECT_EQ(anyQuestionMoved, c.Questions);
    EXPECT_EQ(anyAnswerMoved, c.Answers);
  }
}

TEST(PaperJob, TheEmptyAnswerIsLeftOutButTheOneAfterItStays) {
  const TQuestionSet set = MixedSet(false, false);
  const TPaperJob job = MakePaperJob(set, "Mixed.qst", 1, 1, kA4);
  EXPECT_EQ(job.Versions[0].Questions[4].Answers, (std::vector<int>{0, 1, 3, 4, 5, 6}));
  const TQuestionSet printed = VersionSet(set, job.Versions[0]);
  EXPECT_EQ(printed.Questions[5].Answers[2], set.Questions[5].Answers[3]);
  EXPECT_TRUE(printed.Questions[5].Answers[6].empty());
}

TEST(PaperJob, SeedDecidesTheVersions) {
  const TQuestionSet set = MixedSet(true, true);
  const TPaperJob a = MakePaperJob(set, "Mixed.qst", 5, 777, kA4);
  EXPECT_EQ(a, MakePaperJob(set, "Mixed.qst", 5, 777, kA4));
  const TPaperJob b = MakePaperJob(set, "Mixed.qst", 5, 778, kA4);
  EXPECT_NE(Order(a.Versions[0]), Order(b.Versions[0]));
  EXPECT_NE(a.JobId, b.JobId);
  // Versions of one job differ from one another.
  std::set<std::vector<int>> orders;
  for (const auto& version : a.Versions) orders.insert(Order(version));
  EXPECT_EQ(orders.size(), a.Versions.size());
  // Other sheet options make another job, even with the same seed.
  EXPECT_NE(a.JobId, MakePaperJob(set, "Mixed.qst", 5, 777, {TPaperSize::Letter, 6}).JobId);
  EXPECT_NE(a.JobId, MakePaperJob(set, "Mixed.qst", 5, 777, {TPaperSize::A4, 8}).JobId);
  // Created is the caller's: the job itself depends on nothing but its inputs.
  EXPECT_TRUE(a.Created.empty());
}

TEST(PaperJob, VersionCountKeptWithinTheAlphabet) {
  const TQuestionSet set = MixedSet(true, true, 5);
  for (auto [asked, made] : {std::pair{0, 1}, std::pair{1, 1}, std::pair{26, 26}, std::pair{40, 26}}) {
    const TPaperJob job = MakePaperJob(set, "Small.qst", asked, 3, kA4);
    ASSERT_EQ(job.Versions.size(), static_cast<size_t>(made)) << asked;
    EXPECT_EQ(job.Versions.back().Letter, 'A' + made - 1);
  }
  // A set without questions still gets one sheet per version for the name.
  const TPaperJob empty = MakePaperJob(testkit::MakeSet(0), "Empty.qst", 2, 3, kA4);
  ASSERT_EQ(empty.Versions.size(), 2u);
  EXPECT_EQ(empty.Versions[0].Sheets.size(), 1u);
}

TEST(PaperJob, VersionSetIsWhatThePaperShows) {
  const TQuestionSet set = MixedSet(true, true);
  const TPaperJob job = MakePaperJob(set, "Mixed.qst", 2, 55, kA4);
  const TPaperVersion& version = job.Versions[1];
  const TQuestionSet printed = VersionSet(set, version);
  EXPECT_EQ(printed.LastIndex, 40);
  EXPECT_EQ(printed.Questions[0].Text, set.Questions[0].Text);
  for (int i = 1; i <= 40; ++i) {
    const TPaperQuestion& pq = version.Questions[i - 1];
    const TQuestion& source = set.Questions[pq.SetQuestion];
    EXPECT_EQ(printed.Questions[i].Text, source.Text);
    EXPECT_EQ(printed.Questions[i].CorrectMask, pq.Key);
    EXPECT_EQ(printed.Questions[i].RandomizeAnswers, 0);
    for (size_t k = 0; k < pq.Answers.size(); ++k)
      EXPECT_EQ(printed.Questions[i].Answers[k], source.Answers[pq.Answers[k]]);
  }
}

TEST(PaperJob, FeedbackLinesFollowTheirAnswers) {
  TQuestionSet set = testkit::MakeSet(1);
  set.Questions[1].RandomizeAnswers = 1;
  set.Questions[1].Remarks = "See chapter 3.\r\nA: right\r\nC: no\r\nZ: not a letter of ours\r\nAD: neither";
  for (std::uint64_t seed = 1; seed < 40; ++seed) {
    const TPaperVersion version = MakePaperJob(set, "One.qst", 1, seed, kA4).Versions[0];
    const std::vector<int>& slots = version.Questions[0].Answers;
    const auto slotOf = [&](int answer) {
      return static_cast<char>('A' + (std::find(slots.begin(), slots.end(), answer) - slots.begin()));
    };
    const std::string expected = "See chapter 3.\r\n" + std::string(1, slotOf(0)) + ": right\r\n" + slotOf(2) +
                                 ": no\r\nZ: not a letter of ours\r\nAD: neither";
    EXPECT_EQ(VersionSet(set, version).Questions[1].Remarks, expected) << seed;
  }
}

TEST(PaperJob, JsonRoundTrip) {
  TPaperJob job = MakePaperJob(MixedSet(true, true, 250), "Kl\xC3\xA4sse 7.qst", 3, 0xFFFFFFFFFFFFFFFFull,
                               {TPaperSize::Letter, 10});
  job.Created = "2026-12-07 20:30:00";
  const std::string text = PaperJobToJson(job);
  EXPECT_NE(text.find("\"format\": \"proctorium-paper-job\""), std::string::npos);
  EXPECT_NE(text.find("\"seed\": \"18446744073709551615\""), std::string::npos);
  EXPECT_EQ(PaperJobFromJson(text), job);
}

TEST(PaperJob, DamagedFilesAreRefused) {
  TPaperJob job = MakePaperJob(MixedSet(true, true, 3), "Small.qst", 2, 4, {TPaperSize::A4, 2});
  const std::string good = PaperJobToJson(job);
  auto replaced = [&](const std::string& from, const std::string& to) {
    std::string text = good;
    const size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? std::string() : text.replace(at, from.size(), to);
  };
  const struct {
    const char* Name;
    std::string Text;
  } cases[] = {
      {"empty", ""},
      {"cut off", good.substr(0, good.size() / 2)},
      {"not an object", "[1, 2]"},
      {"another format", replaced("proctorium-paper-job", "quiz")},
      {"newer format", replaced("\"formatVersion\": 1", "\"formatVersion\": 2")},
      {"job id not hex", replaced("\"jobId\": \"", "\"jobId\": \"Z")},
      {"seed not a number", replaced("\"seed\": \"4\"", "\"seed\": \"four\"")},
      {"unknown page", replaced("\"page\": \"A4\"", "\"page\": \"A5\"")},
      {"versions out of order", replaced("\"version\": \"B\"", "\"version\": \"C\"")},
      {"key not letters", replaced("\"key\": \"", "\"key\": \"z")},
      {"answer out of range", replaced("\"answers\": [", "\"answers\": [9, ")},
      {"rectangle of three numbers", replaced("\"qr\": [", "\"qr\": [1, 2, 3], \"old\": [")},
      {"five corners", replaced("\"corners\": [", "\"corners\": [[1, 2, 3, 4], ")},
      {"missing versions", replaced("\"versions\"", "\"variants\"")},
      {"wrong type", replaced("\"idDigits\": 2", "\"idDigits\": \"two\"")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_THROW(PaperJobFromJson(c.Text), EFileError);
  }
  // The message says what kind of file it was meant to be.
  try {
    PaperJobFromJson("{");
    FAIL();
  } catch (const EFileError& e) {
    EXPECT_NE(std::string(e.what()).find("paper job"), std::string::npos);
  }
}

TEST(PaperJob, FileNameCarriesTheJob) {
  const struct {
    std::string Set;
    std::string File;
  } cases[] = {
      {"Algebra.qst", "Algebra.0000ABCD.paper.json"},
      {"Tests\\Bio.Logy.QST", "Tests\\Bio.Logy.0000ABCD.paper.json"},
      {"NoExtension", "NoExtension.0000ABCD.paper.json"},
      {"dir.d/.hidden", "dir.d/.hidden.0000ABCD.paper.json"},
  };
  for (const auto& c : cases) EXPECT_EQ(PaperJobFileName(c.Set, 0xABCD), c.File);
}

TEST(PaperJob, SlotLetters) {
  EXPECT_EQ(SlotLetters(0), "");
  EXPECT_EQ(SlotLetters(0b10000101), "ACH");
  EXPECT_EQ(SlotMask("ACH"), 0b10000101);
  EXPECT_EQ(SlotMask("AI"), 0);
  EXPECT_EQ(SlotMask("a"), 0);
}
