#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "base/core/FileIO.h"
#include "questions/core/QuestionSet.h"
#include "testkit/core/TempDir.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace proctorium;
namespace fs = std::filesystem;

namespace {

TEST(FileSafety, OnlyRegularFilesOfSensibleSizeAreRead) {
  testkit::TTempDir dir;
  dir.WriteFile("small.qst", "abc");
  dir.WriteFile("big.qst", std::string(2000, 'x'));
  fs::create_directory(dir.Path("folder.qst"));
#ifndef _WIN32
  // Windows links need rights a test run does not have.
  fs::create_symlink(dir.Path("small.qst"), dir.Path("link.qst"));
  fs::create_symlink("/dev/zero", dir.Path("Zero.qst"));
  mkfifo(dir.Path("pipe.qst").c_str(), 0600);
#endif
  const struct {
    const char* Name;
    TReadResult Result;
  } cases[] = {
      {"small.qst", TReadResult::Ok},          {"big.qst", TReadResult::TooLarge},
      {"folder.qst", TReadResult::NotRegular}, {"none.qst", TReadResult::Missing},
#ifndef _WIN32
      {"link.qst", TReadResult::Ok},           {"Zero.qst", TReadResult::NotRegular},
      {"pipe.qst", TReadResult::NotRegular},
#endif
  };
  for (const auto& c : cases) {
    std::string bytes = "unchanged";
    EXPECT_EQ(ReadRegularFile(dir.Path(c.Name), 1000, bytes), c.Result) << c.Name;
    EXPECT_EQ(bytes, c.Result == TReadResult::Ok ? "abc" : "unchanged") << c.Name;
  }
}

#ifndef _WIN32
// An endless device is refused, not read until memory runs out.
TEST(FileSafety, SetLoaderRefusesDevicesBeforeReading) {
  testkit::TTempDir dir;
  const std::string zero = dir.Path("Zero.qst");
  fs::create_symlink("/dev/zero", zero);
  TQuestionSet set;
  try {
    set.LoadFromFile(zero);
    ADD_FAILURE() << "loaded";
  } catch (const EFileError& e) {
    EXPECT_EQ(std::string(e.what()).rfind("Damaged question set file " + zero + ": ", 0), 0u) << e.what();
  }
}
#endif

TEST(FileSafety, AnyNameTheFolderAllowsCanBeWritten) {
  testkit::TTempDir dir;
  for (size_t length : {8u, 245u, 255u}) {
    const std::string name = std::string(length - 4, 'n') + ".qst";
    EXPECT_NO_THROW(WriteFileAtomic(dir.Path(name), "set")) << length;
    EXPECT_EQ(dir.ReadFile(name), "set") << length;
  }
  // Nothing but the files themselves: no temporary file left behind.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.Folder()), fs::directory_iterator()), 3);
}

TEST(FileSafety, StaleTemporaryFilesAreRemovedButNotOnesInUse) {
  testkit::TTempDir dir;
  const auto old = fs::file_time_type::clock::now() - std::chrono::minutes(30);
  const std::string stale = "~Proctorium-0123456789abcdef.tmp";
  const std::string fresh = "~Proctorium-00000000000000ff.tmp";
  const std::string busy = "~Proctorium-aaaaaaaaaaaaaaaa.tmp";
  const std::string other = "~Proctorium-notours.tmp";
  for (const std::string& n : {stale, fresh, busy, other}) dir.WriteFile(n, "x");
  for (const std::string& n : {stale, busy, other}) fs::last_write_time(dir.Path(n), old);
    // Another instance writing it holds it open, and on POSIX locked.
#ifdef _WIN32
  std::FILE* held = _wfopen(ToFsPath(dir.Path(busy)).c_str(), L"r+b");
  ASSERT_NE(held, nullptr);
#else
  const int fd = open(dir.Path(busy).c_str(), O_RDWR);
  ASSERT_GE(fd, 0);
  struct flock range {};
  range.l_type = F_WRLCK;
  range.l_whence = SEEK_SET;
#ifdef F_OFD_SETLK
  ASSERT_EQ(fcntl(fd, F_OFD_SETLK, &range), 0);
#else
  ASSERT_EQ(flock(fd, LOCK_EX), 0);
#endif
#endif
  EXPECT_EQ(RemoveStaleTemporaryFiles(dir.Folder(), StaleTemporaryFileAgeSeconds), 1);
  EXPECT_FALSE(fs::exists(dir.Path(stale)));
  for (const std::string& n : {fresh, other, busy}) EXPECT_TRUE(fs::exists(dir.Path(n))) << n;
#ifdef _WIN32
  std::fclose(held);
#else
  close(fd);
#endif
}

// An export, a printout or a converted set may go to any folder: what a
// killed write left there goes with the next output, once it is old.
TEST(FileSafety, AnOutputTidiesWhatAKilledOutputLeft) {
  testkit::TTempDir dir;
  const std::string stale = "~Proctorium-00000000000000aa.tmp", fresh = "~Proctorium-00000000000000bb.tmp";
  dir.WriteFile(stale, "cut short");
  dir.WriteFile(fresh, "being written");
  fs::last_write_time(dir.Path(stale), fs::file_time_type::clock::now() - std::chrono::hours(1));
  WriteOutputFile(dir.Path("export.csv"), "a,b\r\n");
  EXPECT_EQ(dir.ReadFile("export.csv"), "a,b\r\n");
  EXPECT_FALSE(fs::exists(dir.Path(stale)));
  EXPECT_TRUE(fs::exists(dir.Path(fresh)));
}

}  // namespace
