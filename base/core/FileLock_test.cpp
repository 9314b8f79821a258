// Replacing a file only while it is as it was read, under the file's lock.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "base/core/FileLock.h"
#include "testkit/core/TempDir.h"

using namespace proctorium;
namespace fs = std::filesystem;

namespace {

TEST(ReplaceFileIfUnchanged, ReplacesOnlyWhatIsStillAsItWasRead) {
  const struct {
    const char* Case;
    const char* OnDisk;  // nullptr: no file
    TReplaceResult Result;
  } cases[] = {
      {"unchanged", "opened", TReplaceResult::Replaced},
      {"changed elsewhere", "someone else's", TReplaceResult::Changed},
      {"grown past the cap", "opened and much more", TReplaceResult::Changed},
      {"removed meanwhile", nullptr, TReplaceResult::Replaced},
      {"emptied", "", TReplaceResult::Replaced},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Case);
    testkit::TTempDir dir;
    const std::string file = dir.Path("set.qst");
    if (c.OnDisk) dir.WriteFile("set.qst", c.OnDisk);
    EXPECT_EQ(ReplaceFileIfUnchanged(file, "opened", "saved", 16, 1000), c.Result);
    EXPECT_EQ(dir.ReadFile("set.qst"), c.Result == TReplaceResult::Replaced ? "saved" : c.OnDisk);
    int files = 0;
    for (const auto& e : fs::directory_iterator(ToFsPath(dir.Folder())))
      files += e.is_regular_file() && (ReplaceLockPath(file) == file || e.path() != ToFsPath(ReplaceLockPath(file)));
    EXPECT_EQ(files, 1);  // no temporary file
  }
}

// A seat that cannot get the lock, or cannot write, is told and the file
// stays as it was.
TEST(ReplaceFileIfUnchanged, FailuresLeaveTheFileAsItWas) {
  testkit::TTempDir dir;
  const std::string file = dir.Path("set.qst");
  dir.WriteFile("set.qst", "opened");
  {
    TFileLock other(ReplaceLockPath(file), 0);
    try {
      ReplaceFileIfUnchanged(file, "opened", "saved", 1000, 50);
      FAIL() << "replaced under another seat's lock";
    } catch (const EFileError& e) {
      EXPECT_NE(std::string(e.what()).find("is in use by another seat"), std::string::npos) << e.what();
    }
  }
  EXPECT_EQ(dir.ReadFile("set.qst"), "opened");
  fs::create_directory(dir.Path("folder.qst"));
  // A folder in the set's place is never replaced: the lock refuses it, or
  // (where the lock is beside it) it counts as changed.
  try {
    EXPECT_EQ(ReplaceFileIfUnchanged(dir.Path("folder.qst"), "", "saved", 1000, 50), TReplaceResult::Changed);
  } catch (const EFileError&) {
  }
  EXPECT_TRUE(fs::is_directory(dir.Path("folder.qst")));
  EXPECT_THROW(ReplaceFileIfUnchanged(dir.Path("no/such/folder/set.qst"), "", "saved", 1000, 50), EFileError);
}

}  // namespace
