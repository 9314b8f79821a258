#include "session/core/ClassTable.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

}  // namespace
