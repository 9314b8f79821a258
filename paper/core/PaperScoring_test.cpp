// Scanned sheets scored into the logs: printed slots map back to the set's
// own letters whatever the version, a doubtful box or unread ID blocks a
// script, a batch sorts into whole candidates, and no page is scored twice.

#include "paper/core/PaperScoring.h"

#include <gtest/gtest.h>

#include "base/core/FileIO.h"
#include "session/core/ResultsLog.h"
#include "testkit/core/PaperSample.h"
#include "testkit/core/TempDir.h"

using namespace proctorium;
using namespace proctorium::testkit;

namespace {

constexpr TBoxMark E = TBoxMark::Empty, M = TBoxMark::Marked, D = TBoxMark::Doubtful;

TPaperSaveContext Context() {
  TPaperSaveContext c;
  c.Date = "07/12/2026";
  c.DateTime = "2026-12-07 10:15:00";
  c.ClassList = {{"100001", "Ann Smith"}, {"100002", "Zo\xc3\xab M\xc3\xbcller"}};
  c.PassMark = 60;
  return c;
}

TPaperScript Script(char version, const std::string& id, std::vector<std::size_t> pages) {
  return {version, id, std::move(pages)};
}

TEST(PaperScoring, PrintedSlotsMapBackToTheSetsLetters) {
  // Version B, position 1 is set question 3 with its answers printed in the
  // order E D A C B; the set's correct answers are A and D (slots B and C).
  const TPaperQuestion q3 = SamplePaperJob().Versions[1].Questions[0];
  struct TCase {
    const char* Name;
    std::vector<TBoxMark> Boxes;
    AnswerMask Response;
    bool Right;
  } cases[] = {
      {"both correct slots", {E, M, M, E, E}, 0b01001, true},
      {"one of two is no partial credit", {E, M, E, E, E}, 0b01000, false},
      {"an extra mark spoils it", {M, M, M, E, E}, 0b11001, false},
      {"nothing marked", {E, E, E, E, E}, 0, false},
      {"a doubtful box counts as no mark", {E, M, D, E, E}, 0b01000, false},
      {"a short row leaves the rest empty", {E, M}, 0b01000, false},
  };
  for (const TCase& c : cases) {
    const TPaperAnswer a = MapPaperAnswer(q3, c.Boxes);
    EXPECT_EQ(a.Response, c.Response) << c.Name;
    EXPECT_EQ(a.Right, c.Right) << c.Name;
    EXPECT_EQ(a.Correct, 0b01001) << c.Name;
    EXPECT_EQ(a.Offered, 0b11111) << c.Name;
  }
}

TEST(PaperScoring, SameAnswersScoreTheSameInEveryVersion) {
  const TPaperJob job = SamplePaperJob();
  TSetResponses key = SampleKey();
  struct TCase {
    const char* Name;
    TSetResponses Responses;
    int Correct;
    const char* Incorrect;
    const char* Result;
  } cases[] = {
      {"all right", key, 5, "", ResultPassed},
      {"question 3 half answered",
       {{1, 0b0010}, {2, 0b001}, {3, 0b00001}, {4, 0b10}, {5, 0b0100}},
       4,
       "Incorrect; 3",
       ResultPassed},
      {"two wrong, one blank",
       {{1, 0b0001}, {2, 0b001}, {4, 0b10}, {5, 0b0010}},
       2,
       "Incorrect; 1; 3; 5",
       ResultNotPassed},
  };
  for (const TCase& c : cases) {
    std::vector<TPaperScore> scores;
    for (char version : {'A', 'B'}) {
      std::vector<TPageReading> pages = {FillSheet(job, version, 1, c.Responses, "100001")};
      if (version == 'B') pages.push_back(FillSheet(job, 'B', 2, c.Responses, ""));
      const TPaperBatch batch = SortPaperBatch(job, pages);
      ASSERT_EQ(batch.Scripts.size(), 1u) << c.Name;
      ASSERT_TRUE(batch.Problems.empty()) << c.Name;
      scores.push_back(ScorePaperScript(job, pages, batch.Scripts[0], Context()));
    }
    for (const TPaperScore& s : scores) {
      const std::string what = std::string(c.Name) + ", version " + s.Version;
      EXPECT_EQ(s.Score.Correct, c.Correct) << what;
      EXPECT_EQ(s.Score.Seen, 5) << what;
      EXPECT_EQ(s.ResultLines, (std::vector<std::string>{"07/12/2026  Quiz.qst     Time taken: 00:00:00",
                                                         "   " + std::to_string(c.Correct) + " of 5 Correct [" +
                                                             std::to_string(c.Correct * 20) + "%]  " + c.Incorrect,
                                                         ""}))
          << what;
      EXPECT_EQ(s.Entry.Result, c.Result) << what;
      ASSERT_EQ(s.Detail.Outcomes.size(), 5u) << what;
      for (const TQuestionOutcome& o : s.Detail.Outcomes) {
        const auto it = c.Responses.find(o.Question);
        EXPECT_EQ(o.Response, it == c.Responses.end() ? 0 : it->second) << what << ", question " << o.Question;
        EXPECT_EQ(o.CorrectAnswer, key[o.Question]) << what << ", question " << o.Question;
        EXPECT_EQ(o.Correct, o.Response == o.CorrectAnswer) << what << ", question " << o.Question;
      }
    }
    EXPECT_EQ(scores[0].Detail.Outcomes, scores[1].Detail.Outcomes) << c.Name;
  }
}

TEST(PaperScoring, LogRecordsNameTheCandidateAndMarkThePaper) {
  const TPaperJob job = SamplePaperJob();
  struct TCase {
    const char* Id;
    const char* Name;
  } cases[] = {{"100002", "Zo\xc3\xab M\xc3\xbcller"}, {"999999", ""}};
  for (const TCase& c : cases) {
    const std::vector<TPageReading> pages = {FillSheet(job, 'A', 1, SampleKey(), c.Id)};
    const TPaperScore s = ScorePaperScript(job, pages, Script('A', c.Id, {0}), Context());
    EXPECT_EQ(s.CandidateName, c.Name);
    // What the existing readers make of the lines written.
    const TGradebookFile book = ReadGradebook(GradebookRecord(s.Entry, true));
    ASSERT_EQ(book.Rows.size(), 1u) << c.Id;
    const TGradebookEntry& e = book.Rows[0].Entry;
    EXPECT_EQ(e.CandidateId, c.Id);
    EXPECT_EQ(e.CandidateName, c.Name);
    EXPECT_EQ(e.Source, SourcePaper);
    EXPECT_EQ(e.Fingerprint, SampleFingerprint);
    EXPECT_EQ(e.Percent, 100);
    EXPECT_EQ(e.QuestionsInSet, 5);
    const std::vector<TDetailTest> detail = ReadDetailLog(DetailLogRecords(s.Detail, true));
    ASSERT_EQ(detail.size(), 1u);
    EXPECT_EQ(detail[0].TestId, e.TestId);
    EXPECT_EQ(detail[0].CandidateId, c.Id);
    EXPECT_EQ(detail[0].Outcomes.size(), 5u);
  }
}

TEST(PaperScoring, DoubtfulBoxesAndUnreadIdsBlockScoringUntilResolved) {
  const TPaperJob job = SamplePaperJob();
  struct TCase {
    const char* Name;
    void (*Spoil)(std::vector<TPageReading>&);
    void (*Resolve)(std::vector<TPageReading>&);
    const char* Reason;
  } cases[] = {
      {"a doubtful answer box", [](auto& p) { p[1].Answers[1][0] = TBoxMark::Doubtful; },
       [](auto& p) { p[1].Answers[1][0] = TBoxMark::Empty; }, "scan.pdf, page 2: 1 box is doubtful; mark or clear it"},
      {"two doubtful boxes", [](auto& p) { p[0].Answers[0][0] = p[0].Answers[2][1] = TBoxMark::Doubtful; },
       [](auto& p) { p[0].Answers[0][0] = TBoxMark::Empty, p[0].Answers[2][1] = TBoxMark::Marked; },
       "scan.pdf, page 1: 2 boxes are doubtful; mark or clear them"},
      {"an unread ID digit", [](auto& p) { p[0].CandidateId = "10?001"; }, [](auto& p) { p[0].CandidateId = "100001"; },
       "scan.pdf, page 1: the candidate ID could not be read; type it in"},
  };
  for (const TCase& c : cases) {
    std::vector<TPageReading> pages = {FillSheet(job, 'B', 1, SampleKey(), "100001", "scan.pdf", 0),
                                       FillSheet(job, 'B', 2, SampleKey(), "", "scan.pdf", 1)};
    c.Spoil(pages);
    TPaperBatch batch = SortPaperBatch(job, pages);
    ASSERT_EQ(batch.Scripts.size(), 1u) << c.Name;
    EXPECT_EQ(PaperScriptProblem(job, pages, batch.Scripts[0]).value_or(""), c.Reason) << c.Name;
    EXPECT_THROW(ScorePaperScript(job, pages, batch.Scripts[0], Context()), std::invalid_argument) << c.Name;
    c.Resolve(pages);
    batch = SortPaperBatch(job, pages);
    ASSERT_EQ(batch.Scripts.size(), 1u) << c.Name;
    EXPECT_FALSE(PaperScriptProblem(job, pages, batch.Scripts[0])) << c.Name;
    EXPECT_NO_THROW(ScorePaperScript(job, pages, batch.Scripts[0], Context())) << c.Name;
  }
}

TEST(PaperScoring, BatchSortsIntoWholeCandidates) {
  const TPaperJob job = SamplePaperJob();
  const TSetResponses key = SampleKey();
  auto failed = [] {
    TPageReading r;
    r.Source = "scan.pdf";
    r.Page = 9;
    r.Failure = TPageFailure::NoQr;
    r.Reason = "scan.pdf, page 10: no answer-sheet code found";
    return r;
  };
  auto foreign = [&] {
    TPageReading r = FillSheet(job, 'A', 1, key, "100003", "other.png");
    r.Code->JobId = 7;
    return r;
  };
  struct TCase {
    const char* Name;
    std::vector<TPageReading> Pages;
    std::vector<std::vector<std::size_t>> Scripts;
    std::vector<std::string> Problems;
  } cases[] = {
      {"later sheets follow their first sheet",
       {FillSheet(job, 'B', 1, key, "100001"), FillSheet(job, 'A', 1, key, "100002"), FillSheet(job, 'B', 2, key, ""),
        FillSheet(job, 'B', 1, key, "100003", "s.pdf", 3), FillSheet(job, 'B', 2, key, "", "s.pdf", 4)},
       {{0, 2}, {1}, {3, 4}},
       {}},
      {"a failed page and a foreign one are left out",
       {failed(), foreign(), FillSheet(job, 'A', 1, key, "100002")},
       {{2}},
       {"scan.pdf, page 10: no answer-sheet code found",
        "other.png, page 1: the sheet belongs to another set or print job"}},
      {"a missing sheet keeps the candidate out",
       {FillSheet(job, 'B', 1, key, "100001")},
       {},
       {"Candidate ID 100001 (Version B): sheet 2 of 2 is missing, so nothing is scored"}},
      {"a later sheet with nothing before it",
       {FillSheet(job, 'B', 2, key, "")},
       {},
       {"scan.pdf, page 1: sheet 2 has no first sheet of its version before it; type the candidate ID"}},
      {"a second sheet two for one candidate",
       {FillSheet(job, 'B', 1, key, "100001"), FillSheet(job, 'B', 2, key, ""), FillSheet(job, 'B', 2, key, "")},
       {{0, 1}},
       {"scan.pdf, page 1: a second sheet 2 for Candidate ID 100001 (Version B)"}},
      {"a duplicate candidate ID",
       {FillSheet(job, 'A', 1, key, "100001", "a.pdf"), FillSheet(job, 'A', 1, key, "100001", "b.pdf")},
       {{0}},
       {"b.pdf, page 1: duplicate candidate ID 100001"}},
  };
  for (TCase& c : cases) {
    const TPaperBatch batch = SortPaperBatch(job, c.Pages);
    std::vector<std::vector<std::size_t>> scripts;
    for (const TPaperScript& s : batch.Scripts) scripts.push_back(s.Pages);
    EXPECT_EQ(scripts, c.Scripts) << c.Name;
    std::vector<std::string> problems;
    for (const TPaperProblem& p : batch.Problems) problems.push_back(p.Reason);
    EXPECT_EQ(problems, c.Problems) << c.Name;
  }
}

TEST(PaperScoring, LaterSheetWithATypedIdJoinsThatCandidate) {
  const TPaperJob job = SamplePaperJob();
  std::vector<TPageReading> pages = {FillSheet(job, 'B', 1, SampleKey(), "100001"),
                                     FillSheet(job, 'B', 1, SampleKey(), "100002"),
                                     FillSheet(job, 'B', 2, SampleKey(), ""), FillSheet(job, 'B', 2, SampleKey(), "")};
  pages[2].CandidateId = "100001";
  const TPaperBatch batch = SortPaperBatch(job, pages);
  ASSERT_EQ(batch.Scripts.size(), 2u);
  EXPECT_EQ(batch.Scripts[0].Pages, (std::vector<std::size_t>{0, 2}));
  EXPECT_EQ(batch.Scripts[1].Pages, (std::vector<std::size_t>{1, 3}));
}

TEST(PaperScoring, LedgerRoundTripsAndTellsPagesScoredBefore) {
  const TLedgerEntry scored{SampleJobId, 'B', 2, 0xfeedull, "100001", "2026-12-07 09:00:00", "abc"};
  const std::string file = LedgerHeader() + LedgerLine(scored) + "torn\tline\r\n" +
                           LedgerLine({1, 'A', 1, 0, "x\ty", "2026-12-07 09:01:00", "def"});
  const std::vector<TLedgerEntry> ledger = ParseLedger(file);
  ASSERT_EQ(ledger.size(), 2u);
  EXPECT_EQ(ledger[0], scored);
  EXPECT_EQ(ledger[1].CandidateId, "x?y");
  struct TCase {
    const char* Name;
    TLedgerEntry Page;
    const char* Conflict;
  } cases[] = {
      {"same sheet and candidate",
       {SampleJobId, 'B', 2, 0, "100001", "", ""},
       "sheet 2 of version B was scored already on 2026-12-07 09:00:00"},
      {"same image, another ID",
       {SampleJobId, 'A', 1, 0xfeedull, "100009", "", ""},
       "the same page image was scored already on 2026-12-07 09:00:00"},
      {"another sheet of that candidate", {SampleJobId, 'B', 1, 1, "100001", "", ""}, ""},
      {"another job", {SampleJobId + 1, 'B', 2, 2, "100001", "", ""}, ""},
      {"no ID and no image is never a duplicate", {SampleJobId, 'B', 2, 0, "", "", ""}, ""},
  };
  for (const TCase& c : cases) EXPECT_EQ(LedgerConflict(ledger, c.Page).value_or(""), c.Conflict) << c.Name;
}

struct TFolder {
  TTempDir Dir;
  TPaperLogPaths Paths{Dir.Path("Tests/results.txt"), Dir.Path("Tests/results-detail.csv"),
                       Dir.Path("Tests/gradebook.csv"), Dir.Path("Tests/paper-scored.txt"),
                       Dir.Path("Tests/results-save.journal")};
  TFolder() { Dir.WriteFile("Tests/results.txt", "earlier\r\n"); }
  std::string State() const {
    return Dir.ReadFile("Tests/results.txt") + "|" + Dir.ReadFile("Tests/results-detail.csv") + "|" +
           Dir.ReadFile("Tests/gradebook.csv") + "|" + Dir.ReadFile("Tests/paper-scored.txt");
  }
};

TEST(PaperScoring, SaveWritesEveryLogAndRefusesAPageScoredTwice) {
  const TPaperJob job = SamplePaperJob();
  TFolder folder;
  std::vector<TPageReading> pages = {FillSheet(job, 'B', 1, SampleKey(), "100001", "s.pdf", 0, 11),
                                     FillSheet(job, 'B', 2, SampleKey(), "", "s.pdf", 1, 12),
                                     FillSheet(job, 'A', 1, {}, "100002", "s.pdf", 2, 13)};
  const TPaperBatch batch = SortPaperBatch(job, pages);
  ASSERT_EQ(batch.Scripts.size(), 2u);
  auto scoreAll = [&] {
    std::vector<TPaperScore> scores;
    for (const TPaperScript& s : batch.Scripts) scores.push_back(ScorePaperScript(job, pages, s, Context()));
    return scores;
  };
  const std::vector<TPaperScore> first = scoreAll();
  const TPaperSaveReport saved = SavePaperScores(folder.Paths, 1000, first);
  EXPECT_EQ(saved.Saved, 2);
  EXPECT_TRUE(saved.Refused.empty());
  EXPECT_EQ(
      folder.Dir.ReadFile("Tests/results.txt"),
      "earlier\r\n"
      "07/12/2026  Quiz.qst     Time taken: 00:00:00\r\n   5 of 5 Correct [100%]  \r\n\r\n"
      "07/12/2026  Quiz.qst     Time taken: 00:00:00\r\n   0 of 5 Correct [0%]  Incorrect; 1; 2; 3; 4; 5\r\n\r\n");
  const TGradebookFile book = ReadGradebook(folder.Dir.ReadFile("Tests/gradebook.csv"));
  ASSERT_EQ(book.Rows.size(), 2u);
  EXPECT_EQ(book.Rows[0].Entry.CandidateName, "Ann Smith");
  EXPECT_EQ(book.Rows[1].Entry.Result, ResultNotPassed);
  const std::vector<TDetailTest> detail = ReadDetailLog(folder.Dir.ReadFile("Tests/results-detail.csv"));
  ASSERT_EQ(detail.size(), 2u);
  EXPECT_EQ(detail[1].TestId, book.Rows[1].Entry.TestId);
  const std::vector<TLedgerEntry> ledger = ParseLedger(folder.Dir.ReadFile("Tests/paper-scored.txt"));
  ASSERT_EQ(ledger.size(), 3u);
  EXPECT_EQ(ledger[1].Sheet, 2);
  EXPECT_EQ(ledger[1].ImageHash, 12u);
  EXPECT_FALSE(FileExists(folder.Paths.Journal));

  // The same pages again, scored afresh, go nowhere; so does a rescan of a
  // page (another image) under the same candidate, and the same image under
  // an ID typed differently.
  const std::string before = folder.State();
  const TPaperSaveReport again = SavePaperScores(folder.Paths, 1000, scoreAll());
  EXPECT_EQ(again.Saved, 0);
  EXPECT_EQ(again.Refused,
            (std::vector<std::string>{
                "Candidate ID 100001 (Version B): sheet 1 of version B was scored already on 2026-12-07 10:15:00",
                "Candidate ID 100002 (Version A): sheet 1 of version A was scored already on 2026-12-07 10:15:00"}));
  pages[2].ImageHash = 99;
  pages[0].CandidateId = "100005";
  std::vector<TPaperScore> changed = {ScorePaperScript(job, pages, Script('A', "100002", {2}), Context()),
                                      ScorePaperScript(job, pages, Script('B', "100005", {0, 1}), Context())};
  const TPaperSaveReport third = SavePaperScores(folder.Paths, 1000, changed);
  EXPECT_EQ(third.Saved, 0);
  ASSERT_EQ(third.Refused.size(), 2u);
  EXPECT_EQ(third.Refused[1],
            "Candidate ID 100005 (Version B): the same page image was scored already on 2026-12-07 10:15:00");
  EXPECT_EQ(folder.State(), before);
}

TEST(PaperScoring, TheSameImageTwiceInOneSaveGoesInOnce) {
  const TPaperJob job = SamplePaperJob();
  TFolder folder;
  const std::vector<TPageReading> pages = {FillSheet(job, 'A', 1, SampleKey(), "100001", "a.png", 0, 5),
                                           FillSheet(job, 'A', 1, SampleKey(), "100009", "b.png", 0, 5)};
  const TPaperSaveReport report =
      SavePaperScores(folder.Paths, 1000,
                      {ScorePaperScript(job, pages, Script('A', "100001", {0}), Context()),
                       ScorePaperScript(job, pages, Script('A', "100009", {1}), Context())});
  EXPECT_EQ(report.Saved, 1);
  EXPECT_EQ(report.Refused.size(), 1u);
  EXPECT_EQ(ReadGradebook(folder.Dir.ReadFile("Tests/gradebook.csv")).Rows.size(), 1u);
}

TEST(PaperScoring, ContentHashTellsImagesApartAndIsNeverZero) {
  EXPECT_NE(PaperContentHash("page one"), PaperContentHash("page two"));
  EXPECT_EQ(PaperContentHash("page one"), PaperContentHash("page one"));
  EXPECT_NE(PaperContentHash(""), 0u);
}

}  // namespace
