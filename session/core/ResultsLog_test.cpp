#include "session/core/ResultsLog.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "base/core/FileIO.h"
#include "base/core/FileLock.h"
#include "testkit/core/TempDir.h"

#ifndef _WIN32
#include <sys/resource.h>
#include <unistd.h>
#include <csignal>
#endif

using namespace proctorium;

namespace {

TEST(ResultsLog, NextEntryStartsOnALineOfItsOwn) {
  // Whether the log exists, what it holds, and what it holds after "E\r\n\r\n" is appended.
  const std::tuple<bool, std::string, std::string> cases[] = {
      {false, "", "E\r\n\r\n"},
      {true, "", "E\r\n\r\n"},
      {true, "A\r\n   B  \r\n\r\n", "A\r\n   B  \r\n\r\nE\r\n\r\n"},
      {true, "A\r\n   7 of 9 Cor", "A\r\n   7 of 9 Cor\r\nE\r\n\r\n"},  // torn by a crash
      {true, "A\r", "A\r\nE\r\n\r\n"},                                  // cut between CR and LF
      {true, "A\n", "A\nE\r\n\r\n"}};                                   // another program's LF
  for (const auto& [exists, before, after] : cases) {
    testkit::TTempDir dir;
    const std::string log = dir.Path("results.txt");
    if (exists) dir.WriteFile("results.txt", before);
    {
      TFileLock lock(log, 1000);
      AppendToLog(log, "E\r\n\r\n");
    }
    EXPECT_EQ(dir.ReadFile("results.txt"), after) << before;
    EXPECT_EQ(ReadLog(log), after) << before;
  }
}

TEST(ResultsLog, ControlCharactersCannotForgeLines) {
  const std::pair<std::string, std::string> cases[] = {
      {"Evil\r\n   9 of 9 Correct [100%]  .qst", "Evil??   9 of 9 Correct [100%]  .qst"},
      {std::string("a\0b", 3), "a?b"},
      {"tab\there\x7f\x1b", "tab?here??"},
      {"Caf\xe9 \x80\xff", "Caf\xe9 \x80\xff"},  // Windows-1252 letters stay
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(SanitizeLogLine(in), out) << in;
  EXPECT_EQ(LogLinesBytes({"x\ny", "   s", ""}), "x?y\r\n   s\r\n\r\n");
}

TEST(ResultsLog, ReadingRefusesWhatIsNoLog) {
  testkit::TTempDir dir;
  EXPECT_EQ(ReadLog(dir.Path("none.txt")), "");
  std::filesystem::create_directory(dir.Path("folder.txt"));
  EXPECT_THROW(ReadLog(dir.Path("folder.txt")), EFileError);
#ifndef _WIN32
  std::filesystem::create_symlink("/dev/zero", dir.Path("zero.txt"));
  EXPECT_THROW(ReadLog(dir.Path("zero.txt")), EFileError);
#endif
}

TEST(FileLock, ExcludesOthersUntilReleasedNamesTheFileAndKeepsItWhenCleared) {
  testkit::TTempDir dir;
  const std::string log = dir.Path("results.txt");
  {
    TFileLock first(log, 1000);
    EXPECT_TRUE(FileExists(log));  // created for the lock
    // Appending and reading open and close the file again; that must not
    // drop the lock this process holds.
    AppendToLog(log, "a\r\n");
    ReadLog(log);
    try {
      TFileLock second(log, 100);
      FAIL() << "a second lock was granted";
    } catch (const EFileError& e) {
      EXPECT_NE(std::string(e.what()).find(log), std::string::npos) << e.what();
    }
    ClearLog(log);  // empties the file it is locked on and keeps it
    EXPECT_TRUE(FileExists(log));
    AppendToLog(log, "new\r\n");
    EXPECT_EQ(ReadLog(log), "new\r\n");
  }
  EXPECT_NO_THROW(TFileLock again(log, 0));
  EXPECT_THROW(TFileLock(dir.Path("no/such/folder/results.txt"), 0), EFileError);
}

#ifndef _WIN32
// A file size limit makes the write stop part-way, as a full disk does.
TEST(ResultsLog, AppendCutShortLeavesTheLogAsItWasAndSaysWhy) {
  testkit::TTempDir dir;
  const std::string log = dir.Path("results.txt");
  const std::string before = "A\r\n   1 of 1 Correct [100%]  \r\n\r\n";
  dir.WriteFile("results.txt", before);
  rlimit old{};
  getrlimit(RLIMIT_FSIZE, &old);
  auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = old;
  small.rlim_cur = before.size() + 10;
  setrlimit(RLIMIT_FSIZE, &small);
  std::string message;
  try {
    TFileLock lock(log, 1000);
    AppendToLog(log, std::string(100, 'x') + "\r\n");
  } catch (const EFileError& e) {
    message = e.what();
  }
  setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(message, "Cannot create file " + log + ": " + SystemReason(EFBIG));
  EXPECT_EQ(dir.ReadFile("results.txt"), before);
}
#endif

}  // namespace
