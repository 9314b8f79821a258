// The Class page of the results window over a gradebook of 100,000 saved
// tests: opening it (read, parse, table on screen) against a plain read of
// the same file, and filtering by set and by candidate against one frame
// (16.7 ms). Prints figures; asserts nothing.
//
//   bench_class_view [runs]

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/Startup.h"
#include "base/ModalSeam.h"
#include "base/core/FileIO.h"
#include "base/core/OptionsFile.h"
#include "bench/ChildProcess.h"
#include "candidates/core/Gradebook.h"
#include "session/ResultsForm.h"
#include "session/core/ClassTable.h"

namespace {

using namespace proctorium;
using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

std::string MakeGradebook(int tests) {
  std::string out;
  out.reserve(static_cast<size_t>(tests) * 170);
  for (int i = 0; i < tests; ++i) {
    TGradebookEntry e;
    e.DateTime = "2026-12-07 09:" + std::to_string(10 + i % 50) + ":00";
    e.CandidateName = "Candidate " + std::to_string(i % 3000);
    e.CandidateId = "S" + std::to_string(i % 3000);
    e.SetFile = "Set " + std::to_string(i % 40) + ".qst";
    e.Fingerprint = 0x1234567890abcdefull + static_cast<unsigned>(i % 40);
    e.QuestionsSeen = e.QuestionsInSet = 20;
    e.Correct = i % 21;
    e.Percent = e.Correct * 5;
    e.SecondsTaken = 600 + i % 900;
    e.Result = e.Percent >= 50 ? ResultPassed : ResultNotPassed;
    e.TestId = std::to_string(1000000 + i) + "-" + std::to_string(i * 7919 % 100000);
    e.FocusLost = i % 3;
    out += GradebookRecord(e, i == 0);
  }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  QApplication app(argc, argv);
  QTemporaryDir dir;
  const std::string folder = dir.path().toStdString() + "/";
  QDir().mkpath(QString::fromStdString(folder + "Tests"));
  WriteOptionsFile(folder + "Proctorium.opt", TOptionsRecord());
  const int tests = 100000;
  WriteFileAtomic(folder + "Tests/gradebook.csv", MakeGradebook(tests));
  CreateForms(folder);

  SetModalHook([](QDialog* d) {
    static_cast<TResultsForm*>(d)->tabsResults->setCurrentIndex(1);
    bench::WaitExposed(d);
    return 0;
  });
  std::vector<double> tRead, tOpen;
  for (int i = 0; i < runs; ++i) {
    std::string bytes;
    auto t0 = Clock::now();
    ReadWholeFile(folder + "Tests/gradebook.csv", bytes);
    tRead.push_back(Ms(Clock::now() - t0));
    ResultsForm->tabsResults->setCurrentIndex(0);
    t0 = Clock::now();
    ExecModal(ResultsForm);
    tOpen.push_back(Ms(Clock::now() - t0));
  }
  SetModalHook({});
  // Where the opening goes: the class table reading the file in place,
  // against reading every record into entries of their own.
  std::vector<double> tLoad, tEntries;
  for (int i = 0; i < runs; ++i) {
    std::string bytes;
    ReadWholeFile(folder + "Tests/gradebook.csv", bytes);
    auto t0 = Clock::now();
    const TGradebookFile file = ReadGradebook(bytes);
    tEntries.push_back(Ms(Clock::now() - t0));
    TClassTable table;
    t0 = Clock::now();
    table.Load(std::move(bytes));
    tLoad.push_back(Ms(Clock::now() - t0));
  }
  std::printf(
      "of which the class table reading the file %.1f ms (every record read into entries of their own: %.1f ms)\n",
      Median(tLoad), Median(tEntries));
  std::printf(
      "opening the Class page on %d tests (%d rows): %.1f ms (target < 200 ms, ratio %.2f); a plain read of the "
      "file takes %.1f ms\n",
      tests, ResultsForm->ClassModel->rowCount(), Median(tOpen), Median(tOpen) / 200.0, Median(tRead));

  ResultsForm->show();
  bench::WaitExposed(ResultsForm);
  const struct {
    const char* What;
    const char* Set;
    const char* Candidate;
  } filters[] = {
      {"by set", "set 17", ""}, {"by candidate", "", "candidate 12"}, {"by both", "set 3", "s29"}, {"cleared", "", ""}};
  TClassTable table;
  {
    std::string bytes;
    ReadWholeFile(folder + "Tests/gradebook.csv", bytes);
    table.Load(std::move(bytes));
  }
  for (const auto& f : filters) {
    std::vector<double> t;
    int rows = 0;
    for (int i = 0; i < runs; ++i) {
      ResultsForm->edFilterSet->setText(QString());
      ResultsForm->edFilterCandidate->setText(QString());
      QCoreApplication::processEvents();
      const auto t0 = Clock::now();
      ResultsForm->edFilterSet->setText(QString::fromUtf8(f.Set));
      ResultsForm->edFilterCandidate->setText(QString::fromUtf8(f.Candidate));
      ResultsForm->tblClass->viewport()->repaint();
      t.push_back(Ms(Clock::now() - t0));
      rows = ResultsForm->ClassModel->rowCount();
    }
    // The index alone, without the view: what the filter itself costs.
    std::vector<double> tIndexOnly;
    for (int i = 0; i < runs; ++i) {
      table.SetFilter("", "");
      const auto t0 = Clock::now();
      table.SetFilter(f.Set, f.Candidate);
      tIndexOnly.push_back(Ms(Clock::now() - t0));
    }
    std::printf(
        "filtering %s (%d rows shown) and repainting: %.2f ms, ratio %.2f of one frame (16.7 ms); of which the "
        "index %.2f ms\n",
        f.What, rows, Median(t), Median(t) / 16.7, Median(tIndexOnly));
  }
  DestroyForms();
  return 0;
}
