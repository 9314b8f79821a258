// Opening the question statistics on detail logs of 1,000, 10,000 and
// 100,000 saved tests of a 250-question set: the time to read the log into
// the figures and the peak memory of doing so, beside a plain read() of the
// same file in the same run. Each figure comes from a child process of its
// own, so one measurement's memory never counts towards another's; the CPU
// seconds beside the wall-clock ones stay put when other programs load the
// machine. PROCTORIUM_BENCH_KEEP=1 keeps the generated logs.
//
//   bench_itemstatistics [tests ...]      (default 1000 10000 100000)

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "session/core/DetailLog.h"
#include "session/core/ItemStatistics.h"

extern char** environ;

using namespace proctorium;

namespace {

constexpr int Questions = 250;

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// A log as seats write it: each test's records together, takers of
// varying ability, some ending early.
bool WriteLog(const std::string& path, int tests) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  std::mt19937 random(1);
  std::string bytes;
  for (int t = 0; t < tests; ++t) {
    TDetailTest test;
    test.DateTime = "2026-12-07 08:12:05";
    test.TestId = FingerprintText(random() * 0x9E3779B97F4A7C15ull + static_cast<std::uint64_t>(t));
    test.SetFile = "Networking.qst";
    test.Fingerprint = 0x0123456789abcdefull;
    test.QuestionsInSet = Questions;
    test.CandidateName = "Candidate " + std::to_string(t % 997);
    const double ability = std::uniform_real_distribution<double>(0.2, 0.95)(random);
    const int seen = t % 20 == 0 ? Questions / 2 : Questions;
    for (int q = 1; q <= seen; ++q) {
      const bool right = std::uniform_real_distribution<double>()(random) < ability;
      const AnswerMask correct = static_cast<AnswerMask>(1u << (q % 4));
      const AnswerMask response = right ? correct : static_cast<AnswerMask>(1u << (random() % 4));
      test.Outcomes.push_back({static_cast<std::int16_t>(q), 0x0F, response, correct, response == correct});
    }
    bytes = DetailLogRecords(test, t == 0);
    if (std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) {
      std::fclose(f);
      return false;
    }
  }
  return std::fclose(f) == 0;
}

// In the child: one measurement, its seconds printed.
int Measure(const std::string& what, const std::string& path) {
  const auto start = std::chrono::steady_clock::now();
  if (what == "read") {
    const int fd = open(path.c_str(), O_RDONLY);
    if (fd < 0) return 1;
    std::vector<char> buffer(1 << 20);
    std::size_t total = 0;
    for (ssize_t n; (n = read(fd, buffer.data(), buffer.size())) > 0;) total += static_cast<std::size_t>(n);
    close(fd);
    std::printf("%.4f %zu\n", Seconds(start), total);
  } else {
    const TStatisticsLoad load = LoadStatisticsFile(path);
    const double kr20 = load.Series.empty() || !load.Series[0].Kr20 ? 0.0 : *load.Series[0].Kr20;
    std::printf("%.4f %d %.3f\n", Seconds(start), load.Series.empty() ? 0 : load.Series[0].Takers, kr20);
  }
  return 0;
}

struct TRun {
  double Seconds = -1;
  double CpuSeconds = -1;  // user and system time: what the machine's load does not stretch
  long PeakKb = 0;
  std::string Rest;
};

TRun RunChild(const char* self, const std::string& what, const std::string& path) {
  TRun run;
  int fds[2];
  if (pipe(fds) != 0) return run;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, fds[0]);
  std::string mode = "--child";
  std::vector<char*> argv{const_cast<char*>(self), mode.data(), const_cast<char*>(what.c_str()),
                          const_cast<char*>(path.c_str()), nullptr};
  pid_t pid = 0;
  const int rc = posix_spawn(&pid, self, &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(fds[1]);
  if (rc != 0) {
    close(fds[0]);
    return run;
  }
  std::string out;
  char buf[256];
  for (ssize_t n; (n = read(fds[0], buf, sizeof buf)) > 0;) out.append(buf, static_cast<std::size_t>(n));
  close(fds[0]);
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  run.PeakKb = usage.ru_maxrss;
  run.CpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                   static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  if (WIFEXITED(status) && WEXITSTATUS(status) == 0) {
    run.Seconds = std::atof(out.c_str());
    run.Rest = out.substr(out.find(' ') + 1);
    if (!run.Rest.empty() && run.Rest.back() == '\n') run.Rest.pop_back();
  }
  return run;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::string(argv[1]) == "--child") return Measure(argv[2], argv[3]);
  std::vector<int> sizes;
  for (int i = 1; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
  if (sizes.empty()) sizes = {1000, 10000, 100000};
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("proctorium-bench-stats-" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  std::printf(
      "Opening the question statistics (%d questions per test; targets for 10,000 tests: under 0.5 s and "
      "50 MiB)\n",
      Questions);
  std::printf("%8s %8s | %10s %8s %8s | %10s %8s %8s | %s\n", "tests", "MB", "read s", "CPU s", "peak MiB", "open s",
              "CPU s", "peak MiB", "takers, KR-20");
  for (int tests : sizes) {
    const std::string path = (folder / ("results-detail-" + std::to_string(tests) + ".csv")).string();
    if (!WriteLog(path, tests)) {
      std::printf("%8d cannot write %s\n", tests, path.c_str());
      continue;
    }
    const double mb = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
    const TRun plain = RunChild(argv[0], "read", path);
    const TRun open = RunChild(argv[0], "open", path);
    std::printf("%8d %8.1f | %10.3f %8.3f %8.1f | %10.3f %8.3f %8.1f | %s\n", tests, mb, plain.Seconds,
                plain.CpuSeconds, plain.PeakKb / 1024.0, open.Seconds, open.CpuSeconds, open.PeakKb / 1024.0,
                open.Rest.c_str());
    std::fflush(stdout);
    if (!std::getenv("PROCTORIUM_BENCH_KEEP")) std::filesystem::remove(path);
  }
  if (!std::getenv("PROCTORIUM_BENCH_KEEP")) std::filesystem::remove_all(folder);
  return 0;
}
