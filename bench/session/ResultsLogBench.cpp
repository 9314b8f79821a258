// Results log at the size a busy room reaches (100,000 entries): start-up
// time and peak memory against an empty log, Save Results against a plain
// durable append of three lines, and opening the results window at 100,000
// and 1,000,000 entries against a plain read of the same file. Prints
// ratios and figures; asserts nothing.
//
//   bench_results_log [runs]

#include <fcntl.h>
#include <unistd.h>
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
#include "session/ResultsForm.h"

namespace {

using namespace proctorium;
using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

using bench::WaitExposed;

std::string MakeLog(int entries) {
  std::string log;
  log.reserve(static_cast<size_t>(entries) * 135);
  for (int i = 0; i < entries; ++i)
    log += "05/12/2026  Networking fundamentals " + std::to_string(i % 40) +
           ".qst     Time taken: 00:17:50\r\n   7 of 9 Correct [77%]  Incorrect; 3; 12; 19; 24; 31; 38; 40\r\n\r\n";
  return log;
}

std::string MakeFolder(const QTemporaryDir& dir, const char* name, int entries) {
  const std::string folder = dir.path().toStdString() + "/" + name + "/";
  QDir().mkpath(QString::fromStdString(folder + "Tests"));
  WriteOptionsFile(folder + "Proctorium.opt", TOptionsRecord());
  WriteFileAtomic(folder + "Tests/results.txt", MakeLog(entries));
  return folder;
}

// Opens the results window on the log at path: until it is on screen with
// the last lines, and until the whole log is indexed behind it, against a
// plain read of the whole file.
void OpenFigures(const std::string& path, int entries, int runs) {
  ResultsForm->ResultsFileName = path;
  std::vector<double> tOpen, tWhole, tRead;
  int lines = 0;
  for (int i = 0; i < runs; ++i) {
    std::string bytes;
    auto t0 = Clock::now();
    ReadWholeFile(path, bytes);
    tRead.push_back(Ms(Clock::now() - t0));
    t0 = Clock::now();
    ExecModal(ResultsForm);
    tOpen.push_back(Ms(Clock::now() - t0));
    ResultsForm->show();
    while (ResultsForm->Memo1->Loading()) QCoreApplication::processEvents();
    tWhole.push_back(Ms(Clock::now() - t0));
    lines = ResultsForm->Memo1->LineCount();
    ResultsForm->hide();
    QCoreApplication::processEvents();
  }
  const double target = entries >= 1000000 ? 100.0 : 50.0;
  // The line count shows the window came to hold the whole log.
  std::printf(
      "opening the results window on %d entries: %.1f ms on screen (target < %.0f ms, ratio %.2f), %.1f ms until "
      "all %d lines are indexed; a plain read of the file takes %.1f ms (on screen / plain read %.2f)\n",
      entries, Median(tOpen), target, Median(tOpen) / target, Median(tWhole), lines, Median(tRead),
      Median(tOpen) / Median(tRead));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--child") return bench::ShowStartWindow(argc, argv, argv[2]);
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  QTemporaryDir dir;
  const std::string empty = MakeFolder(dir, "empty", 0);
  const std::string full = MakeFolder(dir, "full", 100000);
  std::string bytes;
  ReadWholeFile(full + "Tests/results.txt", bytes);
  std::printf("log: 100000 entries, %.1f MB\n", bytes.size() / 1e6);

  const std::string self = QFileInfo(QString::fromLocal8Bit(argv[0])).absoluteFilePath().toStdString();
  std::vector<double> tEmpty, tFull;
  long kbEmpty = 0, kbFull = 0;
  for (int r = 0; r < runs; ++r) {
    const bench::TChildRun a = bench::RunChild({self, "--child", empty}), b = bench::RunChild({self, "--child", full});
    tEmpty.push_back(a.Millis);
    tFull.push_back(b.Millis);
    kbEmpty = std::max(kbEmpty, a.PeakKb);
    kbFull = std::max(kbFull, b.PeakKb);
  }
  std::printf("start-up: empty log %.0f ms, 100000 entries %.0f ms, ratio %.2f (target <= 1.10)\n", Median(tEmpty),
              Median(tFull), Median(tFull) / Median(tEmpty));
  std::printf("peak memory: empty log %.1f MiB, 100000 entries %.1f MiB, ratio %.2f (target <= 1.20)\n",
              kbEmpty / 1024.0, kbFull / 1024.0, double(kbFull) / kbEmpty);

  QApplication app(argc, argv);
  CreateForms(full);
  const std::string plainFile = full + "Tests/plain.txt";
  const std::string line1 = "05/12/2026  Networking.qst     Time taken: 00:17:50\r\n";
  const std::string three = line1 + "   7 of 9 Correct [77%]  Incorrect; 3; 12\r\n\r\n";
  std::vector<double> tSave, tPlain;
  for (int i = 0; i < 40; ++i) {
    auto t0 = Clock::now();
    const int fd = open(plainFile.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0666);
    if (write(fd, three.data(), three.size()) < 0) std::perror("write");
    fsync(fd);
    close(fd);
    tPlain.push_back(Ms(Clock::now() - t0));
    t0 = Clock::now();
    ResultsForm->AddLines({QStringLiteral("05/12/2026  Networking.qst     Time taken: 00:17:50"),
                           QStringLiteral("   7 of 9 Correct [77%]  Incorrect; 3; 12"), QString()});
    tSave.push_back(Ms(Clock::now() - t0));
  }
  std::printf("Save Results: %.3f ms, plain append of three lines with fsync %.3f ms, ratio %.2f (target <= 3)\n",
              Median(tSave), Median(tPlain), Median(tSave) / Median(tPlain));

  SetModalHook([](QDialog* d) {
    WaitExposed(d);
    return 0;
  });
  OpenFigures(full + "Tests/results.txt", 100000, runs);
  const std::string million = full + "Tests/million.txt";
  WriteFileAtomic(million, MakeLog(1000000));
  OpenFigures(million, 1000000, runs);
  SetModalHook({});
  DestroyForms();
  return 0;
}
