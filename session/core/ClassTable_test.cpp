#include "session/core/ClassTable.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/core/Ascii.h"
#include "session/core/Csv.h"

using namespace proctorium;

namespace {

TGradebookEntry Test(const char* date, const char* name, const char* id, const char* set, int percent,
                     int seconds = 600) {
  TGradebookEntry e;
  e.DateTime = date;
  e.CandidateName = name;
  e.CandidateId = id;
  e.SetFile = set;
  e.Fingerprint = 0xabc;
  e.QuestionsSeen = e.QuestionsInSet = 10;
  e.Correct = percent / 10;
  e.Percent = percent;
  e.SecondsTaken = seconds;
  e.TestId = std::string("t-") + date;
  return e;
}

std::vector<TGradebookEntry> Class() {
  return {
      Test("2026-12-01 09:00:00", "Ann Lee", "S1", "Algebra.qst", 60, 900),
      Test("2026-12-01 09:05:00", "Bob Ray", "S2", "Algebra.qst", 90, 61),
      Test("2026-12-02 10:00:00", "ann lee", "s1", "Algebra.qst", 80, 3700),  // Ann again, ID in another case
      Test("2026-12-03 11:00:00", "Ann Lee", "S1", "Geometry.qst", 70, 5),
      Test("2026-12-03 11:30:00", "", "", "Geometry.qst", 50),    // nobody was asked
      Test("2026-12-04 08:00:00", "Cy", "", "algebra.QST", 100),  // known by name only
  };
}

std::vector<std::string> Column(const TClassTable& t, int column) {
  std::vector<std::string> out;
  for (const std::uint32_t i : t.Shown()) out.push_back(t.Cell(i, column));
  return out;
}

// The latest attempt of each candidate at each set is marked in words;
// candidates are told apart by ID (any case), else by name; anonymous tests
// are never marked.
TEST(ClassTable, MarksEachCandidatesLatestAttemptAtEachSet) {
  TClassTable t;
  t.Assign(Class());
  EXPECT_EQ(Column(t, ClassLatest), (std::vector<std::string>{"", "Latest", "Latest", "Latest", "", "Latest"}));
  EXPECT_EQ(t.Cell(2, ClassTime), "1:01:40");
  EXPECT_EQ(t.Cell(2, ClassFingerprint), "0000000000000abc");
}

// Filters ignore ASCII case, look for the text anywhere in the set file or
// in the name or ID, and combine; sorting keeps the filter and the
// gradebook's order among equal rows, numbers sorted as numbers.
TEST(ClassTable, FiltersAndSortsWithoutLosingRows) {
  const struct {
    const char* Set;
    const char* Candidate;
    int SortColumn;
    bool Ascending;
    std::vector<std::string> Dates;  // the rows shown, by day and time
  } cases[] = {
      {"", "", -1, true, {"01 09:00", "01 09:05", "02 10:00", "03 11:00", "03 11:30", "04 08:00"}},
      {"ALGEBRA", "", -1, true, {"01 09:00", "01 09:05", "02 10:00", "04 08:00"}},
      {"", "ann", -1, true, {"01 09:00", "02 10:00", "03 11:00"}},
      {"", "s2", -1, true, {"01 09:05"}},
      {"geo", "lee", -1, true, {"03 11:00"}},
      {"nothing", "", -1, true, {}},
      {"", "", ClassPercent, false, {"04 08:00", "01 09:05", "02 10:00", "03 11:00", "01 09:00", "03 11:30"}},
      {"", "", ClassTime, true, {"03 11:00", "01 09:05", "03 11:30", "04 08:00", "01 09:00", "02 10:00"}},
      {"", "", ClassName, true, {"03 11:30", "01 09:00", "02 10:00", "03 11:00", "01 09:05", "04 08:00"}},
      {"alg", "", ClassLatest, false, {"01 09:05", "02 10:00", "04 08:00", "01 09:00"}},
  };
  for (const auto& c : cases) {
    TClassTable t;
    t.Assign(Class());
    t.Sort(c.SortColumn, c.Ascending);
    t.SetFilter(c.Set, c.Candidate);
    std::vector<std::string> dates;
    for (const std::string& d : Column(t, ClassDateTime)) dates.push_back(d.substr(8, 8));
    EXPECT_EQ(dates, c.Dates) << c.Set << "/" << c.Candidate << " sorted by " << c.SortColumn;
  }
}

// The export is what a spreadsheet opens as it is: BOM, the columns' titles,
// one line per row shown, texts that would run as formulas neutralised.
TEST(ClassTable, ExportsTheRowsShownSafelyForASpreadsheet) {
  std::vector<TGradebookEntry> entries = Class();
  entries[1].CandidateName = "=HYPERLINK(\"x\")";
  entries[1].CandidateId = "+1, \"two\"\nthree";
  TClassTable t;
  t.Assign(entries);
  t.SetFilter("algebra", "");
  const std::string csv = t.Csv();
  ASSERT_EQ(csv.rfind(Utf8Bom, 0), 0u);
  TCsvReader reader(csv);
  std::vector<std::string_view> fields;
  ASSERT_TRUE(reader.Next(fields));
  EXPECT_EQ(fields.size(), std::size_t(ClassColumnCount));
  EXPECT_EQ(fields[ClassName], "Candidate name");
  int rows = 0;
  std::vector<std::string> names, ids, percents;
  while (reader.Next(fields)) {
    ++rows;
    names.emplace_back(fields[ClassName]);
    ids.push_back(CsvTextValue(fields[ClassId]));
    percents.emplace_back(fields[ClassPercent]);
  }
  EXPECT_EQ(rows, 4);
  EXPECT_EQ(names[1], "'=HYPERLINK(\"x\")");
  EXPECT_EQ(CsvTextValue(names[1]), "=HYPERLINK(\"x\")");
  EXPECT_EQ(ids[1].find('\n'), std::string::npos);  // a line break cannot start a row
  EXPECT_EQ(percents, (std::vector<std::string>{"60", "90", "80", "100"}));
}

// The table reads the file in place: it must take from every line exactly
// what the whole-file reader does (quoted names, doubled quotes, the
// formula guard, torn and foreign lines, a repeated header).
TEST(ClassTable, ReadsTheFileAsTheGradebookReaderDoes) {
  std::vector<TGradebookEntry> entries = Class();
  entries[0].CandidateName = "\"Bo\", Jr.";
  entries[1].CandidateName = "=SUM(A1)";
  entries[1].CandidateId = "'7";
  entries[2].SetFile = "a,b.qst";
  entries[3].TestId = "x\"\"y";
  entries[4].Ended = EndedTimeUp;
  entries[4].Timer = TimerCountdown;
  entries[5].FocusLost = 4;
  std::string bytes;
  for (const TGradebookEntry& e : entries) bytes += GradebookRecord(e, bytes.empty());
  bytes.insert(bytes.find("\r\n", bytes.find("\r\n") + 2) + 2, "torn,\"line\r\nhello, world\r\n\r\n");
  bytes += GradebookHeader();
  bytes += "\r\n" + GradebookRecord(entries[0], false).substr(0, 30);
  const TGradebookFile file = ReadGradebook(bytes);
  ASSERT_EQ(file.Rows.size(), entries.size());
  TClassTable t;
  t.Load(bytes);
  ASSERT_EQ(t.EntryCount(), entries.size());
  EXPECT_EQ(t.SkippedCount(), file.SkippedLines.size());
  EXPECT_EQ(t.SkippedCount(), 3u);
  for (std::size_t i = 0; i < entries.size(); ++i) {
    EXPECT_EQ(t.Entry(i), file.Rows[i].Entry) << i;
    EXPECT_EQ(t.Entry(i).CandidateName, entries[i].CandidateName) << i;
  }
  EXPECT_EQ(t.Cell(5, ClassFocusLost), "4");
  EXPECT_EQ(t.Cell(4, ClassEnded), "Time up");
  t.Load({});
  EXPECT_EQ(t.EntryCount(), 0u);
  EXPECT_TRUE(t.Shown().empty());
}

// On a class of many candidates, sets and attempts, in mixed case, each
// candidate's latest attempt at each set is marked and no other: checked
// against the plain rule, one attempt against every later one.
TEST(ClassTable, MarksTheLatestAttemptsOfALargeClass) {
  std::vector<TGradebookEntry> entries;
  for (int i = 0; i < 3000; ++i) {
    const int who = i * 7919 % 211, set = i * 31 % 7;
    std::string name = "Pupil " + std::to_string(who % 150);  // some names shared by two IDs
    if (i % 5 == 0) name = LowerAscii(name);
    const std::string id = who % 4 == 0 ? "" : (i % 3 ? "s" : "S") + std::to_string(who);
    entries.push_back(
        ::Test("2026-12-01 09:00:00", name.c_str(), id.c_str(),
               (set % 2 ? "Set" + std::to_string(set) + ".qst" : "SET" + std::to_string(set) + ".QST").c_str(), 50));
  }
  TClassTable t;
  t.Assign(entries);
  const auto key = [&](const TGradebookEntry& e) {
    return (e.CandidateId.empty() ? "@" + LowerAscii(e.CandidateName) : "#" + LowerAscii(e.CandidateId)) + "\n" +
           LowerAscii(e.SetFile);
  };
  int marked = 0;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    bool later = false;
    for (std::size_t j = i + 1; j < entries.size() && !later; ++j) later = key(entries[j]) == key(entries[i]);
    EXPECT_EQ(t.Latest(i), !later) << i;
    marked += t.Latest(i);
  }
  EXPECT_GT(marked, 200);
  EXPECT_LT(marked, 3000);
}

}  // namespace
