// The gradebook: records read back as written whatever a candidate types,
// a damaged line costs that line only, and the file is what a spreadsheet
// expects.

#include "candidates/core/Gradebook.h"

#include <gtest/gtest.h>

#include "base/core/FileIO.h"
#include "testkit/core/TempDir.h"

using namespace proctorium;

namespace {

TGradebookEntry Entry(const std::string& name, const std::string& id) {
  TGradebookEntry e;
  e.DateTime = "2026-12-07 08:12:05";
  e.CandidateName = name;
  e.CandidateId = id;
  e.SetFile = "Networking.qst";
  e.Fingerprint = 0x0123456789abcdefull;
  e.QuestionsSeen = 9;
  e.QuestionsInSet = 20;
  e.Correct = 7;
  e.Percent = 77;
  e.SecondsTaken = 3 * 3600 + 5 * 60 + 7;
  e.Timer = TimerCountdown;
  e.Ended = EndedTimeUp;
  e.Result = ResultPassed;
  e.TestId = "00ff00ff00ff00ff";
  e.ScoreRule = ScoreRuleAll;
  e.FocusLost = 2;
  return e;
}

}  // namespace

TEST(Gradebook, HeaderIsTheColumnsInTheirOrder) {
  EXPECT_EQ(GradebookHeader(),
            "Date and time,Candidate name,Candidate ID,Set file,Set fingerprint,Questions seen,Questions in set,"
            "Correct,Per cent,Time taken,Timer,Ended,Result,Test,Score rule,Focus lost,Source");
  const std::string first = GradebookRecord(Entry("Ann", "7"), true);
  EXPECT_EQ(first,
            "\xEF\xBB\xBF" + std::string(GradebookHeader()) +
                "\r\n2026-12-07 08:12:05,Ann,7,Networking.qst,0123456789abcdef,9,20,7,77,3:05:07,Countdown,Time up,"
                "Passed,00ff00ff00ff00ff,all,2,Screen\r\n");
  TGradebookEntry uncounted = Entry("Ann", "7");
  uncounted.FocusLost = -1;
  uncounted.Result.clear();
  EXPECT_EQ(GradebookRecord(uncounted, false),
            "2026-12-07 08:12:05,Ann,7,Networking.qst,0123456789abcdef,9,20,7,77,3:05:07,Countdown,Time up,,"
            "00ff00ff00ff00ff,all,,Screen\r\n");
}

TEST(Gradebook, TimeTakenIsHoursMinutesSeconds) {
  const struct {
    int Seconds;
    const char* Text;
  } cases[] = {{0, "0:00:00"}, {59, "0:00:59"}, {61, "0:01:01"}, {3600, "1:00:00"}, {100 * 3600 + 1, "100:00:01"}};
  for (const auto& c : cases) {
    EXPECT_EQ(GradebookTime(c.Seconds), c.Text);
    EXPECT_EQ(ParseGradebookTime(c.Text), c.Seconds) << c.Text;
  }
  EXPECT_EQ(GradebookTime(-5), "0:00:00");
  for (const char* bad : {"", "1:2:3", "0:60:00", "0:00:5x", "-1:00:00", "00:00", "1:00:00:00"})
    EXPECT_EQ(ParseGradebookTime(bad), -1) << bad;
}

// Names as people type or paste them are stored on one line that neither
// breaks the file nor runs in a spreadsheet, and read back as typed.
TEST(Gradebook, AnyNameReadsBackAsTyped) {
  const struct {
    const char* Name;
    const char* Stored;  // after reading back; control characters become blanks
  } cases[] = {
      {"Ann O'Neil", "Ann O'Neil"},
      {"\"Bo\", Jr.", "\"Bo\", Jr."},
      {"=HYPERLINK(\"http://x\")", "=HYPERLINK(\"http://x\")"},
      {"+1 +2", "+1 +2"},
      {"-minus", "-minus"},
      {"@SUM(A1)", "@SUM(A1)"},
      {"'quoted", "'quoted"},
      {"\xd7\xa9\xd7\xa8\xd7\x94 \xd9\x84\xd9\x8a\xd9\x84\xd9\x89",
       "\xd7\xa9\xd7\xa8\xd7\x94 \xd9\x84\xd9\x8a\xd9\x84\xd9\x89"},
      {"Line\r\nbreak", "Line  break"},
      {"tab\there\x01\x7f", "tab here  "},
      {"Zo\xc3\xab \xe6\x9d\x8e", "Zo\xc3\xab \xe6\x9d\x8e"},
  };
  std::string file;
  std::vector<TGradebookEntry> expected;
  for (const auto& c : cases) {
    TGradebookEntry e = Entry(c.Name, c.Name);
    file += GradebookRecord(e, file.empty());
    e.CandidateName = e.CandidateId = c.Stored;
    expected.push_back(e);
  }
  // One line per record after the header, whatever the names held.
  int lines = 0;
  for (char ch : file) lines += ch == '\n';
  EXPECT_EQ(lines, int(std::size(cases)) + 1);
  EXPECT_EQ(file.find(",="), std::string::npos);
  EXPECT_EQ(file.find(",@"), std::string::npos);
  const TGradebookFile read = ReadGradebook(file);
  EXPECT_TRUE(read.SkippedLines.empty());
  ASSERT_EQ(read.Rows.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(read.Rows[i].Entry, expected[i]) << cases[i].Name;
    EXPECT_EQ(read.Rows[i].Line, int(i) + 2);
  }
}

TEST(Gradebook, DamagedOrForeignLineCostsThatLineOnly) {
  const TGradebookEntry a = Entry("Ann", "1"), b = Entry("\"Bo\", Jr.", "2"), c = Entry("Cy", "3");
  const std::string ra = GradebookRecord(a, true), rb = GradebookRecord(b, false), rc = GradebookRecord(c, false);
  std::string badPercent = rc;
  badPercent.replace(badPercent.find(",77,"), 4, ",101,");
  std::string badTimer = rc;
  badTimer.replace(badTimer.find("Countdown"), 9, "Sundial");
  std::string badFingerprint = rc;
  badFingerprint.replace(badFingerprint.find("0123"), 4, "xyz0");
  std::string newerColumns = rc;
  newerColumns.insert(newerColumns.size() - 2, ",extra,\"more\"");
  const struct {
    const char* Name;
    std::string Bytes;
    std::vector<int> Skipped;
    std::vector<TGradebookEntry> Entries;
  } cases[] = {
      {"line torn inside a quoted name", ra + rb.substr(0, 25) + "\r\n" + rc, {3}, {a, c}},
      {"torn last line without its end", ra + rb + rc.substr(0, 40), {4}, {a, b}},
      {"header repeated by a copied file", ra + std::string(GradebookHeader()) + "\r\n\r\n" + rb, {}, {a, b}},
      {"foreign line", ra + "hello, world\r\n" + rb, {3}, {a, b}},
      {"per cent above 100", ra + badPercent + rb, {3}, {a, b}},
      {"unknown timer", ra + badTimer + rb, {3}, {a, b}},
      {"bad fingerprint", ra + badFingerprint + rb, {3}, {a, b}},
      {"columns of a newer program", ra + newerColumns, {}, {a, c}},
      {"bare LF line ends", "Date and time\nAnn\n" + rb.substr(0, rb.size() - 2) + "\n", {2}, {b}},
      {"empty file", "", {}, {}},
  };
  for (const auto& t : cases) {
    const TGradebookFile read = ReadGradebook(t.Bytes);
    EXPECT_EQ(read.SkippedLines, t.Skipped) << t.Name;
    std::vector<TGradebookEntry> entries;
    for (const auto& row : read.Rows) entries.push_back(row.Entry);
    EXPECT_EQ(entries, t.Entries) << t.Name;
  }
}

TEST(Gradebook, AppendWritesTheHeaderOnceAndEndsATornLine) {
  testkit::TTempDir dir;
  const std::string path = dir.Path("Tests/gradebook.csv");
  dir.WriteFile("Tests/keep", "");
  const TGradebookEntry a = Entry("Ann", "1"), b = Entry("Bo", "2");
  AppendGradebook(path, a);
  AppendGradebook(path, b);
  EXPECT_EQ(dir.ReadFile("Tests/gradebook.csv"), GradebookRecord(a, true) + GradebookRecord(b, false));
  // A save cut off part-way leaves a line without its end: the next record
  // starts on a line of its own.
  dir.WriteFile("Tests/gradebook.csv", GradebookRecord(a, true) + "2026-12-07 08:12:05,Bo");
  AppendGradebook(path, b);
  const TGradebookFile read = ReadGradebook(dir.ReadFile("Tests/gradebook.csv"));
  EXPECT_EQ(read.SkippedLines, std::vector<int>{3});
  ASSERT_EQ(read.Rows.size(), 2u);
  EXPECT_EQ(read.Rows[1].Entry, b);
  EXPECT_THROW(AppendGradebook(dir.Path("no/such/folder/gradebook.csv"), a), EFileError);
}
