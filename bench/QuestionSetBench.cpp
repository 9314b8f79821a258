// Loading and saving a full question set (250 questions, eight answers of
// about 100 bytes each, remarks) against a plain read of the same bytes into
// memory and a plain durable write of them. Prints the medians and ratios.
//
//   bench_questionset [folder] [rounds]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#ifndef _WIN32
#include <unistd.h>
#endif

#include "base/core/FileIO.h"
#include "questions/core/QuestionSet.h"

using namespace proctorium;
using Clock = std::chrono::steady_clock;

namespace {

std::string Text(int seed, size_t length) {
  std::string s;
  while (s.size() < length) s += "word" + std::to_string(seed++ % 97) + ' ';
  s.resize(length);
  return s;
}

TQuestionSet FullSet() {
  TQuestionSet set;
  for (int i = 0; i <= MaxQuestions; ++i) {
    TQuestion q;
    q.Text = Text(i, 200) + "\r\n" + Text(i + 1, 100);
    q.AnswerType = static_cast<TAnswerType>(i % 2);
    q.RandomizeAnswers = 1;
    for (int a = 0; a < AnswerCount; ++a) q.Answers[a] = Text(i * 8 + a, 100);
    q.CorrectMask = static_cast<AnswerMask>(1u << (i % 8));
    q.Remarks = Text(i + 7, 150);
    q.ExhibitFile = i % 5 == 0 ? "exhibit" + std::to_string(i) + ".bmp" : "";
    set.Add(q);
  }
  set.TimeStamp = 46362.5;
  return set;
}

void PlainRead(const std::string& name, std::string& out) {
  if (!ReadWholeFile(name, out)) std::perror("read");
}

// The same durability as a save: the bytes reach the disk before it returns.
void PlainWrite(const std::string& name, const std::string& bytes) {
  std::FILE* f = std::fopen(name.c_str(), "wb");
  if (!f) return;
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fflush(f);
#ifndef _WIN32
  fsync(fileno(f));
#endif
  std::fclose(f);
}

template <typename F>
double MedianMicros(int rounds, F&& f) {
  std::vector<double> times;
  for (int i = 0; i < rounds; ++i) {
    auto start = Clock::now();
    f();
    times.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

}  // namespace

int main(int argc, char* argv[]) {
  const std::string folder = argc > 1 ? argv[1] : std::filesystem::temp_directory_path().string();
  const int rounds = argc > 2 ? std::max(3, std::atoi(argv[2])) : 101;
  const std::string setFile = folder + "/bench_full_set.qst";
  const std::string plainFile = folder + "/bench_plain.bin";
  const TQuestionSet full = FullSet();
  full.SaveToFile(setFile);
  std::string bytes;
  ReadWholeFile(setFile, bytes);

  TQuestionSet loaded;
  std::string sink;
  const double load = MedianMicros(rounds, [&] { loaded.LoadFromFile(setFile); });
  const double read = MedianMicros(rounds, [&] { PlainRead(setFile, sink); });
  const double save = MedianMicros(rounds, [&] { full.SaveToFile(setFile); });
  const double write = MedianMicros(rounds, [&] { PlainWrite(plainFile, bytes); });

  std::printf("full set: %d questions, %zu bytes, %d rounds (medians)\n", full.LastIndex, bytes.size(), rounds);
  std::printf("LoadFromFile  %10.1f us   plain read  %10.1f us   ratio %.2f (target <= 2.00)\n", load, read,
              load / read);
  std::printf("SaveToFile    %10.1f us   plain write %10.1f us   ratio %.2f (target <= 1.50)\n", save, write,
              save / write);
  // Find walks every question when the text is nowhere: its worst case,
  // in the set as it is and in the same set turned Unicode.
  TQuestionSet searched = full;
  const double search = MedianMicros(rounds, [&] { searched.Search("in no question", false); });
  TQuestionSet unicode = full;
  unicode.UseUtf8();
  unicode.Questions[1].Text += " \xE2\x89\xA5";  // one character Windows-1252 lacks
  const double searchUnicode = MedianMicros(rounds, [&] { unicode.Search("in no question", false); });
  const double saveUnicode = MedianMicros(rounds, [&] { unicode.SaveToFile(setFile); });
  std::printf("Search, no hit %9.1f us (8-bit set)   %9.1f us (Unicode set)\n", search, searchUnicode);
  std::printf("SaveToFile     %9.1f us (Unicode set)\n", saveUnicode);
  std::filesystem::remove(setFile);
  std::filesystem::remove(plainFile);
  return 0;
}
