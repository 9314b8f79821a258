// Program files whose paths leave the ASCII range or exceed the old
// 260-character limit of Windows: the whole-file reads and writes, the
// options file, question sets and the case-insensitive resolver must all
// reach them.
#include <gtest/gtest.h>

#include <string>

#include "app/core/FileIO.h"
#include "app/core/OptionsFile.h"
#include "app/core/PathResolver.h"
#include "questions/core/QuestionSet.h"
#include "testkit/core/TempDir.h"

namespace proctorium {
namespace {

struct TFolderCase {
  const char* Name;
  std::string Folder;  // below the temporary folder, '/' separated, UTF-8
};

void PrintTo(const TFolderCase& c, std::ostream* os) { *os << c.Name; }

std::string LongFolder() {
  std::string folder;
  for (int i = 0; i < 6; ++i) folder += std::string(48, static_cast<char>('a' + i)) + "/";
  return folder + "Ende";
}

class WidePaths : public testing::TestWithParam<TFolderCase> {
 protected:
  void SetUp() override {
    Base = Dir.Folder() + GetParam().Folder + "/";
    Dir.WriteFile(GetParam().Folder + "/Tests/.keep", "");
  }
  testkit::TTempDir Dir;
  std::string Base;
};

TEST_P(WidePaths, WholeFilesRoundTrip) {
  const std::string file = Base + "Tests/results.txt";
  const std::string bytes("line\r\n\0\xff", 8);
  WriteFileAtomic(file, bytes);
  EXPECT_TRUE(FileExists(file));
  std::string back;
  ASSERT_TRUE(ReadWholeFile(file, back));
  EXPECT_EQ(back, bytes);

  CopyFileSafely(file, Base + "Tests/copy.txt");
  ASSERT_TRUE(ReadWholeFile(Base + "Tests/copy.txt", back));
  EXPECT_EQ(back, bytes);
}

TEST_P(WidePaths, OptionsFileRoundTrips) {
  TOptionsRecord options;
  options.FontSize = 14;
  options.CountdownMinutes = 45;
  options.AdminPassword = Scramble("SECRET");
  const std::string file = Base + "Proctorium.opt";
  WriteOptionsFile(file, options);
  EXPECT_EQ(ReadOptionsFile(file), options);
}

TEST_P(WidePaths, QuestionSetRoundTripsThroughTheResolver) {
  TQuestionSet set;
  TQuestion description;
  description.Text = "Caf\xe9 questions";  // Windows-1252 inside the file
  set.Add(description);
  TQuestion q;
  q.Text = "Which?";
  q.Answers[0] = "This";
  q.CorrectMask = 1;
  set.Add(q);
  set.SaveToFile(ResolvePath(Base, "tests\\Sample.qst"));

  // Written under the folder's real name "Tests", found through "\tests\".
  const std::string found = ResolvePath(Base, "\\tests\\sample.QST");
  ASSERT_TRUE(FileExists(found)) << found;
  TQuestionSet back;
  EXPECT_TRUE(back.LoadFromFile(found));
  EXPECT_EQ(back.LastIndex, 1);
  EXPECT_EQ(back.Questions[0].Text, description.Text);
  EXPECT_EQ(back.Questions[1].Answers[0], "This");
}

TEST_P(WidePaths, MissingFileIsReportedUnderItsName) {
  const std::string file = Base + "Tests/none.qst";
  EXPECT_FALSE(FileExists(file));
  std::string bytes;
  EXPECT_FALSE(ReadWholeFile(file, bytes));
  try {
    ReadOptionsFile(file);
    FAIL() << "no error";
  } catch (const EFileError& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot open file " + file);
  }
}

INSTANTIATE_TEST_SUITE_P(Paths, WidePaths,
                         testing::Values(TFolderCase{"Latin",
                                                     "Pr\xc3\xbc"
                                                     "fungen \xc3\x84\xc3\x96\xc3\x9c"},
                                         TFolderCase{"OutsideAnsi",
                                                     "\xe6\x97\xa5\xe6\x9c\xac \xce\xb4\xce\xbf\xce\xba"},
                                         TFolderCase{"Long", LongFolder()}),
                         [](const testing::TestParamInfo<TFolderCase>& info) { return std::string(info.param.Name); });

}  // namespace
}  // namespace proctorium
