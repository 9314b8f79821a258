// Class lists as teachers bring them: spreadsheets' CSV, typed text, old
// Windows files; every line either gives a candidate or is reported.

#include "candidates/core/ClassList.h"

#include <gtest/gtest.h>

using namespace proctorium;

namespace {

using Candidates = std::vector<TCandidate>;
using Problems = std::vector<TClassListProblem>;

}  // namespace

TEST(ClassList, ReadsWhatTeachersBring) {
  const struct {
    const char* Name;
    std::string Bytes;
    Candidates Expected;
    Problems Skipped;
    bool Header;
  } cases[] = {
      {"plain text", "12, Ann Smith\n13,Bo Li\n", {{"12", "Ann Smith"}, {"13", "Bo Li"}}, {}, false},
      {"spreadsheet CSV with header and quotes",
       "\xEF\xBB\xBFID,Name\r\n\"7\",\"O'Neil, Mary\"\r\n8,\"Say \"\"Hi\"\"\"\r\n",
       {{"7", "O'Neil, Mary"}, {"8", "Say \"Hi\""}},
       {},
       true},
      {"header words in any case", "Student ID;Student Name\n1;Ann\n", {{"1", "Ann"}}, {}, true},
      {"tab separated", "1\tAnn\n2\tBo\n", {{"1", "Ann"}, {"2", "Bo"}}, {}, false},
      {"unquoted comma in the name", "5, Smith, John\n", {{"5", "Smith, John"}}, {}, false},
      {"Windows-1252", "1,Zo\xeb M\xfcller\r\n", {{"1", "Zo\xc3\xab M\xc3\xbcller"}}, {}, false},
      {"UTF-8 without mark",
       "1,Zo\xc3\xab\n2,\xd7\xa9\xd7\xa8\xd7\x94\n",
       {{"1", "Zo\xc3\xab"}, {"2", "\xd7\xa9\xd7\xa8\xd7\x94"}},
       {},
       false},
      {"blank lines and spaces around", "\n  \n 1 ,  Ann \xc2\xa0\n\n", {{"1", "Ann"}}, {}, false},
      {"a name a spreadsheet would run", "1,'=SUM(A1)\n2,=cmd\n", {{"1", "=SUM(A1)"}, {"2", "=cmd"}}, {}, false},
      {"malformed lines",
       "1,Ann\nno separator here\n,Nobody\n3,\n1,Ann again\n4," + std::string(61, 'x') + "\n5,Bo\n",
       {{"1", "Ann"}, {"5", "Bo"}},
       {{2, "no comma between the ID and the name"},
        {3, "no ID"},
        {4, "no name"},
        {5, "the ID 1 is listed twice"},
        {6, "the name is longer than 60 characters"}},
       false},
      {"a line torn inside quotes", "1,\"Ann\n2,Bo\n", {{"1", "Ann"}, {"2", "Bo"}}, {}, false},
      {"only a header", "ID,Name\r\n", {}, {}, true},
  };
  for (const auto& c : cases) {
    const TClassList list = ParseClassList(c.Bytes);
    EXPECT_EQ(list.Candidates, c.Expected) << c.Name;
    EXPECT_EQ(list.Problems, c.Skipped) << c.Name;
    EXPECT_EQ(list.HadHeader, c.Header) << c.Name;
  }
}

TEST(ClassList, StoredFileReadsBackAlike) {
  const Candidates candidates = {{"1", "O'Neil, \"Mary\""}, {"=2", "=HYPERLINK(\"x\")"}, {"3", "\xd7\xa9\xd7\xa8"}};
  const std::string bytes = ClassListFileBytes(candidates);
  EXPECT_EQ(bytes.substr(0, 12), "\xEF\xBB\xBFID,Name\r\n");
  EXPECT_EQ(bytes.find("\n="), std::string::npos);
  EXPECT_EQ(bytes.find(",="), std::string::npos);
  const TClassList list = ParseClassList(bytes);
  EXPECT_EQ(list.Candidates, candidates);
  EXPECT_TRUE(list.Problems.empty());
}

TEST(ClassList, SummaryCountsAndNamesTheSkippedLines) {
  TClassList list;
  list.Candidates = {{"1", "Ann"}};
  EXPECT_EQ(ClassListSummary(list), "The class list has 1 candidate.");
  list.Candidates.push_back({"2", "Bo"});
  list.Problems = {{4, "no name"}, {9, "no ID"}};
  EXPECT_EQ(ClassListSummary(list),
            "The class list has 2 candidates.\n2 lines were skipped:\nLine 4: no name\nLine 9: no ID");
  list.Problems.assign(25, {1, "no ID"});
  const std::string s = ClassListSummary(list);
  EXPECT_NE(s.find("...and 5 more."), std::string::npos);
}

TEST(ClassList, TextHelpers) {
  EXPECT_EQ(Utf8Length("Zo\xc3\xab \xe6\x9d\x8e"), 5);
  EXPECT_EQ(TrimUtf8("\xc2\xa0\xe3\x80\x80 Ann Li\t\xc2\xa0"), "Ann Li");
  EXPECT_EQ(TrimUtf8("   "), "");
  EXPECT_EQ(TrimUtf8("\xc3\xa9"), "\xc3\xa9");
}
