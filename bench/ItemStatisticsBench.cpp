// Question statistics over 10,000 saved tests of a 250-question set: the
// time to read the detail log and the time to compute the figures.

#include <chrono>
#include <cstdio>
#include <random>

#include "session/core/DetailLog.h"
#include "session/core/ItemStatistics.h"

using namespace proctorium;

namespace {

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

}  // namespace

int main() {
  constexpr int Tests = 10000, Questions = 250;
  std::mt19937 random(1);
  std::vector<TDetailTest> tests;
  tests.reserve(Tests);
  for (int t = 0; t < Tests; ++t) {
    TDetailTest test;
    test.DateTime = "2026-12-07 08:12:05";
    test.TestId = NewTestId();
    test.SetFile = "Networking.qst";
    test.Fingerprint = 0x0123456789abcdefull;
    test.QuestionsInSet = Questions;
    const double ability = std::uniform_real_distribution<double>(0.2, 0.95)(random);
    for (int q = 1; q <= Questions; ++q) {
      const bool right = std::uniform_real_distribution<double>()(random) < ability;
      const AnswerMask correct = static_cast<AnswerMask>(1u << (q % 4));
      const AnswerMask response = right ? correct : static_cast<AnswerMask>(1u << (random() % 4));
      test.Outcomes.push_back({static_cast<std::int16_t>(q), 0x0F, response, correct, response == correct});
    }
    tests.push_back(std::move(test));
  }
  std::string log;
  for (const TDetailTest& t : tests) log += DetailLogRecords(t, log.empty());

  auto start = std::chrono::steady_clock::now();
  const std::vector<TDetailTest> read = ReadDetailLog(log);
  const double readTime = Seconds(start);
  start = std::chrono::steady_clock::now();
  const std::vector<TSeriesStatistics> series = ComputeStatistics(read);
  const double statsTime = Seconds(start);

  std::printf("detail log: %d tests x %d questions, %.1f MB\n", Tests, Questions, log.size() / 1e6);
  std::printf("read the log:        %.3f s (%zu tests)\n", readTime, read.size());
  std::printf("compute statistics:  %.3f s (target under 1 s; KR-20 %.3f)\n", statsTime,
              series.empty() || !series[0].Kr20 ? 0.0 : *series[0].Kr20);
  std::printf("read and compute:    %.3f s\n", readTime + statsTime);
  return 0;
}
