// Several running copies saving at once: every record of every test
// arrives whole, and the header is written once.

#include <gtest/gtest.h>

#include <set>

#include "session/core/DetailLog.h"
#include "session/core/FileLock.h"
#include "testkit/core/TempDir.h"

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

using namespace proctorium;

#ifndef _WIN32
TEST(DetailLogConcurrency, SimultaneousSavesLoseNothing) {
  constexpr int Processes = 8, Saves = 40, Questions = 30;
  testkit::TTempDir dir;
  const std::string log = dir.Path("Tests/results.txt");
  const std::string detail = dir.Path("Tests/results-detail.csv");
  dir.WriteFile("Tests/results.txt", "");
  std::vector<pid_t> children;
  for (int p = 0; p < Processes; ++p) {
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      int status = 0;
      for (int s = 0; s < Saves; ++s) {
        TDetailTest t;
        t.DateTime = "2026-12-07 09:00:00";
        t.TestId = std::to_string(p) + "-" + std::to_string(s);
        t.SetFile = "Quiz.qst";
        t.Fingerprint = 1;
        t.QuestionsInSet = Questions;
        for (int q = 1; q <= Questions; ++q) t.Outcomes.push_back({static_cast<std::int16_t>(q), 15, 1, 1, true});
        try {
          TFileLock lock(log, 20000);
          AppendDetailLog(detail, t);
        } catch (...) {
          status = 1;
        }
      }
      _exit(status);
    }
    children.push_back(pid);
  }
  for (pid_t pid : children) {
    int status = -1;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  int skipped = -1;
  const std::string bytes = dir.ReadFile("Tests/results-detail.csv");
  const std::vector<TDetailTest> tests = ReadDetailLog(bytes, &skipped);
  EXPECT_EQ(skipped, 0);
  ASSERT_EQ(tests.size(), std::size_t(Processes * Saves));
  std::set<std::string> ids;
  for (const TDetailTest& t : tests) {
    EXPECT_EQ(t.Outcomes.size(), std::size_t(Questions)) << t.TestId;
    ids.insert(t.TestId);
  }
  EXPECT_EQ(ids.size(), std::size_t(Processes * Saves));
  EXPECT_EQ(bytes.find(DetailLogHeader()), bytes.rfind(DetailLogHeader()));
}
#endif
