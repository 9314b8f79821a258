// The detail log: what is written is read back alike, damaged lines are
// passed over, and spreadsheets see plain values.

#include "session/core/DetailLog.h"

#include <gtest/gtest.h>

#include <tuple>

#include "session/core/Csv.h"
#include "testkit/core/SampleSet.h"

using namespace proctorium;

namespace {

TDetailTest SavedTest(const std::string& id, const std::string& setFile, int questions) {
  TDetailTest t{"2026-12-07 08:12:05", id, setFile, 0x0123456789abcdefull, questions, {}};
  for (int q = 1; q <= questions; q += 2)
    t.Outcomes.push_back({static_cast<std::int16_t>(q), 0x0F, static_cast<AnswerMask>(q % 3), 0x05, q % 3 == 0});
  return t;
}

TEST(DetailLog, RecordsReadBackAsWritten) {
  const char* names[] = {"Networking.qst", "a, b.qst",        "say \"hi\".qst", "=cmd|calc.qst",
                         "'quoted.qst",    "Caf\xc3\xa9.qst", "-minus.qst"};
  // Candidates as people type them: quotes, commas, right-to-left text, a
  // leading '=' that a spreadsheet would run.
  const char* candidates[] = {"Ann O'Neil", "\"Bo\", Jr.", "=HYPERLINK(\"x\")", "\xd7\xa9\xd7\xa8\xd7\x94",
                              "",           "@SUM(A1)",    "Zo\xc3\xab"};
  std::string file;
  std::vector<TDetailTest> written;
  for (const char* name : names) {
    written.push_back(SavedTest("id" + std::to_string(written.size()), name, 7));
    written.back().CandidateName = candidates[written.size() - 1];
    written.back().CandidateId = written.size() % 2 ? "-17" : "";
    written.back().ScoreRule = written.size() % 2 ? "all" : "seen";
    file += DetailLogRecords(written.back(), file.empty());
  }
  EXPECT_EQ(file.rfind(std::string(Utf8Bom) + std::string(DetailLogHeader()) + "\r\n", 0), 0u);
  int skipped = -1;
  EXPECT_EQ(ReadDetailLog(file, &skipped), written);
  EXPECT_EQ(skipped, 0);
  // A spreadsheet must not take a set name for a formula.
  EXPECT_EQ(file.find(",=cmd"), std::string::npos);
}

TEST(DetailLog, DamagedAndForeignLinesArePassedOver) {
  const TDetailTest a = SavedTest("a", "A.qst", 3), b = SavedTest("b", "B.qst", 3);
  const std::string recordsA = DetailLogRecords(a, true);
  const std::string recordsB = DetailLogRecords(b, false);
  const std::size_t secondLine = recordsB.find("\r\n") + 2;
  // After the header and the first record of a.
  const std::size_t afterFirstOfA = recordsA.find("\r\n", recordsA.find("\r\n") + 2) + 2;
  struct {
    const char* Name;
    std::string Bytes;
    int Skipped;
  } cases[] = {
      {"torn last line of a crashed save", recordsA + recordsB.substr(0, 30) + "\r\n" + recordsB, 1},
      {"header repeated by a copied file", recordsA + std::string(DetailLogHeader()) + "\r\n\n" + recordsB, 0},
      {"wrong letters and numbers",
       recordsA + "2026-12-07 08:12:05,B.qst,0123456789abcdef,1,AZ,A,0,ABCD,3,b\r\n" +
           "2026-12-07 08:12:05,B.qst,0123456789abcdef,251,A,A,1,ABCD,3,b\r\n" + recordsB,
       2},
      // The tests of two seats never interleave, but a hand-merged file may.
      {"interleaved tests",
       recordsA.substr(0, afterFirstOfA) + recordsB.substr(0, secondLine) + recordsA.substr(afterFirstOfA) +
           recordsB.substr(secondLine),
       0},
  };
  for (const auto& c : cases) {
    int skipped = -1;
    const std::vector<TDetailTest> tests = ReadDetailLog(c.Bytes, &skipped);
    EXPECT_EQ(tests, (std::vector<TDetailTest>{a, b})) << c.Name;
    EXPECT_EQ(skipped, c.Skipped) << c.Name;
  }
}

// A line torn anywhere, even inside a quoted field, costs that line only:
// the records after it are read as they were written, and the window can
// say which lines were lost.
TEST(DetailLog, TornLinesCostOnlyThemselves) {
  TDetailTest a = SavedTest("a", "A, quoted.qst", 3), b = SavedTest("b", "B.qst", 3), c = SavedTest("c", "C.qst", 3);
  a.CandidateName = "Ann \"The Quick\"";
  const std::string ra = DetailLogRecords(a, true), rb = DetailLogRecords(b, false), rc = DetailLogRecords(c, false);
  const std::size_t afterQuote = rb.find(',') + 1;  // b's first record cut after its date
  const std::size_t quoteOpen = ra.find("\"A, q") + 1;
  const std::size_t firstOfA = ra.find("\r\n") + 2;  // a's records start on line 2
  const std::string aLine = ra.substr(firstOfA, ra.find("\r\n", firstOfA) + 2 - firstOfA);
  struct {
    const char* Name;
    std::string Bytes;
    std::vector<std::string> Ids;  // tests read, in order
    TSkippedLines Skipped;
  } cases[] = {
      {"cut after an opening quote",
       ra + aLine.substr(0, quoteOpen - firstOfA) + "\r\n" + rb + rc,
       {"a", "b", "c"},
       {1, {4}}},
      {"cut inside a doubled quote of the name",
       ra + aLine.substr(0, aLine.find("\"\"The") + 2) + "\n" + rb + rc,
       {"a", "b", "c"},
       {1, {4}}},
      {"two torn lines in a row", ra + aLine.substr(0, 20) + "\r\n\"" + "\r\n" + rb + rc, {"a", "b", "c"}, {2, {4, 5}}},
      {"a torn line without its line end at the end of the file",
       ra + rb + rc + rb.substr(0, afterQuote) + "\"x",
       {"a", "b", "c"},
       {1, {8}}},
      {"a quote opened in the last field",
       ra + aLine.substr(0, aLine.size() - 2) + ",\"\r\n" + rb + rc,
       {"a", "b", "c"},
       {1, {4}}},
      {"a line of binary rubbish",
       ra + std::string("\0\x01\"\xff,,\"", 7) + "\r\n" + rb + rc,
       {"a", "b", "c"},
       {1, {4}}},
      {"a repeated question", ra + aLine + rb + rc, {"a", "b", "c"}, {1, {4}}},
  };
  for (const auto& c : cases) {
    // Whole, and in pieces that split lines and quotes anywhere.
    for (std::size_t piece : {c.Bytes.size(), std::size_t(1), std::size_t(3), std::size_t(17)}) {
      std::vector<std::string> ids;
      TDetailLogReader reader([&](TDetailTest&& t, int) { ids.push_back(t.TestId); });
      for (std::size_t at = 0; at < c.Bytes.size(); at += piece)
        reader.Feed(std::string_view(c.Bytes).substr(at, piece));
      reader.Finish();
      EXPECT_EQ(ids, c.Ids) << c.Name << ", pieces of " << piece;
      EXPECT_EQ(reader.Skipped(), c.Skipped) << c.Name << ", pieces of " << piece;
    }
  }
}

// The line numbers of the first few damaged lines are kept, however many.
TEST(DetailLog, SkippedLinesCountedWithTheFirstLineNumbers) {
  const std::string records = DetailLogRecords(SavedTest("a", "A.qst", 3), true);
  std::string bytes = records;
  for (int i = 0; i < 8; ++i) bytes += "rubbish\r\n\r\n";  // lines 4, 6, ... 18; blank lines are no damage
  // A line far longer than any record is passed over without being kept.
  bytes += std::string(TDetailLogReader::LongestLine + 10, 'x') + "\r\n";
  TDetailLogReader reader([](TDetailTest&&, int) {});
  for (std::size_t at = 0; at < bytes.size(); at += 4096) reader.Feed(std::string_view(bytes).substr(at, 4096));
  reader.Finish();
  EXPECT_EQ(reader.Skipped(), (TSkippedLines{9, {4, 6, 8, 10, 12}}));
}

// Records of a test met again long after it ended are not a second test.
TEST(DetailLog, StrayRecordsOfAnEndedTestAreSkipped) {
  std::string bytes;
  std::vector<TDetailTest> tests;
  for (std::size_t i = 0; i <= TDetailLogReader::OpenTests + 1; ++i) {
    tests.push_back(SavedTest("t" + std::to_string(i), "A.qst", 3));
    bytes += DetailLogRecords(tests.back(), i == 0);
  }
  // Question 2 of the first test, far from the rest of it.
  TDetailTest stray = SavedTest("t0", "A.qst", 3);
  stray.Outcomes = {{2, 0x0F, 1, 5, false}};
  bytes += DetailLogRecords(stray, false);
  int skipped = -1;
  EXPECT_EQ(ReadDetailLog(bytes, &skipped), tests);
  EXPECT_EQ(skipped, 1);
}

// Logs written before the candidate columns keep loading, and new records
// may follow old ones in the same file.
TEST(DetailLog, OlderRecordsReadWithoutCandidate) {
  const std::string oldHeader =
      "Date and time,Set file,Set fingerprint,Question,Response,Correct answer,Correct,Answers offered,"
      "Questions in set,Test\r\n";
  const std::string old = std::string(Utf8Bom) + oldHeader +
                          "2026-12-07 08:12:05,A.qst,0123456789abcdef,1,B,B,1,ABCD,2,t1\r\n"
                          "2026-12-07 08:12:05,A.qst,0123456789abcdef,2,A,C,0,ABC,2,t1\r\n";
  TDetailTest added = SavedTest("t2", "A.qst", 2);
  added.CandidateName = "Ann";
  added.CandidateId = "0042";
  added.ScoreRule = "all";
  int skipped = -1;
  const std::vector<TDetailTest> tests = ReadDetailLog(old + DetailLogRecords(added, false), &skipped);
  EXPECT_EQ(skipped, 0);
  ASSERT_EQ(tests.size(), 2u);
  EXPECT_EQ(tests[0].TestId, "t1");
  EXPECT_EQ(tests[0].CandidateName + tests[0].CandidateId + tests[0].ScoreRule, "");
  EXPECT_EQ(tests[0].Outcomes.size(), 2u);
  EXPECT_EQ(tests[1], added);
}

TEST(DetailLog, FingerprintFollowsWhatTheTakerSees) {
  TQuestionSet set;
  set.LastIndex = 2;
  set.Questions[1].Text = "Which?";
  set.Questions[1].Answers[0] = "This";
  set.Questions[1].Answers[1] = "That";
  set.Questions[1].CorrectMask = 1;
  set.Questions[2].Text = "And?";
  const std::uint64_t base = SetFingerprint(set);
  // What changed, and whether the tests before and after stay one series.
  const std::tuple<const char*, void (*)(TQuestionSet&), bool> cases[] = {
      {"comment corrected", [](TQuestionSet& s) { s.Questions[1].Remarks = "See page 4"; }, true},
      {"answers shuffled from now on", [](TQuestionSet& s) { s.Questions[1].RandomizeAnswers = 1; }, true},
      {"correct answer moved", [](TQuestionSet& s) { s.Questions[1].CorrectMask = 2; }, false},
      {"text moved between fields",
       [](TQuestionSet& s) {
         s.Questions[1].Text = "Which?This";
         s.Questions[1].Answers[0] = "";
       },
       false},
  };
  for (const auto& [name, change, same] : cases) {
    TQuestionSet changed = set;
    change(changed);
    EXPECT_EQ(SetFingerprint(changed) == base, same) << name;
  }
  // Records are grouped into tests by their id: two tests must never share one.
  EXPECT_NE(NewTestId(), NewTestId());
}

TEST(DetailLog, OutcomesAreInTheSetsOwnLetters) {
  TQuestionSet set = testkit::MakeSet(3);
  for (int q = 1; q <= 3; ++q) {
    set.Questions[q].RandomizeAnswers = 1;
    set.Questions[q].AnswerType = TAnswerType::Multiple;
    set.Questions[q].Answers = {"a", "b", "c", "", "e", "", "", ""};
    set.Questions[q].CorrectMask = 0b101;  // A and C
  }
  TRandomSource random;
  random.Pin(42);
  TTestSession session(random);
  session.Start(set);
  // Tick the slots that show the set's answers given, wherever the shuffle put them.
  auto slotsOf = [&](int q, AnswerMask answers) {
    AnswerMask slots = 0;
    for (int k = 1; k <= AnswerCount; ++k)
      if (answers & (1u << session.AnswerInSlot(q, k))) slots |= static_cast<AnswerMask>(1u << (k - 1));
    return slots;
  };
  const AnswerMask given[] = {0, 0b101, 0b010, 0};
  for (int q : {1, 2}) {  // question 3 is never shown
    session.QuestionStates[q].Seen = true;
    session.EnsureAnswerOrder(q, set.Questions[q]);
    session.StoreResponse(q, slotsOf(q, given[q]));
  }
  EXPECT_EQ(session.Outcomes(set),
            (std::vector<TQuestionOutcome>{{1, 0b10111, 0b101, 0b101, true}, {2, 0b10111, 0b010, 0b101, false}}));
}

}  // namespace
