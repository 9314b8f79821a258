// Paths outside the ASCII range or beyond the old 260-character limit of
// Windows: every file function and the resolver must reach them.
#include <gtest/gtest.h>

#include <string>

#include "base/core/FileIO.h"
#include "base/core/OptionsFile.h"
#include "base/core/PathResolver.h"
#include "questions/core/QuestionSet.h"
#include "testkit/core/SampleSet.h"
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

// Whole files, the options file and a set found through the resolver in
// any spelling, and a missing file reported under its own name.
TEST_P(WidePaths, FilesRoundTrip) {
  const std::string file = Base + "Tests/results.txt";
  const std::string bytes("line\r\n\0\xff", 8);
  WriteFileAtomic(file, bytes);
  CopyFileSafely(file, Base + "Tests/copy.txt");
  std::string back;
  ASSERT_TRUE(ReadWholeFile(Base + "Tests/copy.txt", back));
  EXPECT_EQ(back, bytes);

  const TOptionsRecord options = testkit::TurnedOptions(Scramble("SECRET"));
  WriteOptionsFile(Base + "Proctorium.opt", options);
  EXPECT_EQ(ReadOptionsFile(Base + "Proctorium.opt"), options);

  TQuestionSet set;
  TQuestion q;
  q.Text = "Caf\xe9 questions";  // Windows-1252 inside the file
  set.Add(q);
  set.SaveToFile(ResolvePath(Base, "tests\\Sample.qst"));
  // Written under the folder's real name "Tests", found through "\tests\".
  const std::string found = ResolvePath(Base, "\\tests\\sample.QST");
  TQuestionSet loaded;
  EXPECT_TRUE(loaded.LoadFromFile(found)) << found;
  EXPECT_EQ(loaded.Questions[0].Text, q.Text);

  // A Unicode set under a name outside Windows-1252, found the same way.
  TQuestionSet unicode;
  unicode.Encoding = TTextEncoding::Utf8;
  q.Text = "\xCF\x80 \xE2\x89\x88 3.14";
  unicode.Add(q);
  const std::string name = "\xD0\xA4\xD0\xB8\xD0\xB7\xD0\xB8\xD0\xBA\xD0\xB0 \xCF\x80.qst";
  unicode.SaveToFile(ResolvePath(Base, "tests\\" + name));
  TQuestionSet unicodeLoaded;
  EXPECT_TRUE(unicodeLoaded.LoadFromFile(ResolvePath(Base, "\\TESTS\\" + name)));
  EXPECT_EQ(unicodeLoaded.Encoding, TTextEncoding::Utf8);
  EXPECT_EQ(unicodeLoaded.Questions[0].Text, q.Text);

  const std::string none = Base + "Tests/none.qst";
  try {
    ReadOptionsFile(none);
    FAIL() << "no error";
  } catch (const EFileError& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot open file " + none);
  }
}

INSTANTIATE_TEST_SUITE_P(Paths, WidePaths,
                         testing::Values(TFolderCase{"Latin", "Pr\303\274fungen \303\204\303\226\303\234"},
                                         TFolderCase{"OutsideAnsi",
                                                     "\346\227\245\346\234\254 \316\264\316\277\316\272"},
                                         TFolderCase{"Long", LongFolder()}),
                         [](const testing::TestParamInfo<TFolderCase>& info) { return std::string(info.param.Name); });

}  // namespace
}  // namespace proctorium
