// Import and export of a full set (250 questions) in each exchange format.
// Prints figures only.
#include <chrono>
#include <cstdio>

#include "questions/core/QuestionExchange.h"

using namespace proctorium;

int main() {
  TQuestionSet set;
  TQuestion d;
  d.Text = "Description";
  set.Add(d);
  for (int i = 1; i <= MaxQuestions; ++i) {
    TQuestion q;
    q.Text = "Question " + std::to_string(i) + " asks something of moderate length, with a second line\r\nhere.";
    for (int a = 0; a < AnswerCount; ++a) q.Answers[static_cast<size_t>(a)] = "Answer " + std::to_string(a) + " text";
    q.CorrectMask = i % 3 ? 1 : 5;
    q.AnswerType = i % 3 ? TAnswerType::Single : TAnswerType::Multiple;
    q.RandomizeAnswers = 1;
    q.Remarks = "Reference for question " + std::to_string(i);
    set.Add(q);
  }
  const TExchangeFormat formats[] = {TExchangeFormat::Aiken, TExchangeFormat::Gift, TExchangeFormat::MoodleXml,
                                     TExchangeFormat::Csv};
  constexpr int Runs = 20;
  std::printf("%-12s %10s %10s %10s\n", "format", "bytes", "export ms", "import ms");
  for (TExchangeFormat f : formats) {
    using Clock = std::chrono::steady_clock;
    TExportResult out;
    auto t0 = Clock::now();
    for (int r = 0; r < Runs; ++r) out = ExportQuestions(f, set, nullptr);
    auto t1 = Clock::now();
    size_t n = 0;
    for (int r = 0; r < Runs; ++r) n += ImportQuestions(f, out.Bytes, "bench").Questions.size();
    auto t2 = Clock::now();
    const double ex = std::chrono::duration<double, std::milli>(t1 - t0).count() / Runs;
    const double im = std::chrono::duration<double, std::milli>(t2 - t1).count() / Runs;
    std::printf("%-12s %10zu %10.2f %10.2f  (%zu questions read)\n", FormatName(f), out.Bytes.size(), ex, im, n / Runs);
  }
  return 0;
}
