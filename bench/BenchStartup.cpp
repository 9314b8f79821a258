// Start-up benchmark: how long until the start window is on screen, and
// how much memory the process needed at its peak, against a bare Qt
// Widgets window started the same way. Prints figures; asserts nothing.
//
//   bench_startup [program folder] [runs]
//
// Each run is a fresh process (this program started again in a child
// mode), timed from the spawn to the child's report that its window is
// exposed and painted. Peak memory is the child's maximum resident set.

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QTemporaryDir>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/core/FileIO.h"
#include "base/core/OptionsFile.h"
#include "bench/ChildProcess.h"
#include "questions/core/QuestionSet.h"

namespace {

using namespace proctorium;
// withText adds one label: the first text on screen loads the font
// database, a cost that any window showing words pays.
int ChildBare(int argc, char** argv, bool withText) {
  QApplication app(argc, argv);
  QWidget w;
  w.setWindowTitle(QStringLiteral("Bare"));
  w.setFixedSize(486, 287);
  if (withText) (new QLabel(QStringLiteral("Proctorium"), &w))->move(8, 8);
  w.show();
  bench::ReportShown(&w);
  return 0;
}

using TRun = bench::TChildRun;
using bench::RunChild;

bool HasSampleSets(const std::string& folder) {
  QDir tests(QString::fromStdString(folder + "Tests"));
  return FileExists(folder + "Proctorium.opt") && !tests.entryList({QStringLiteral("*.qst")}, QDir::Files).isEmpty();
}

// A stand-in program folder when the shipped one is not built.
void MakeSampleFolder(const std::string& folder) {
  QDir().mkpath(QString::fromStdString(folder + "Tests"));
  WriteOptionsFile(folder + "Proctorium.opt", TOptionsRecord());
  for (int s = 1; s <= 5; ++s) {
    TQuestionSet set;
    TQuestion d;
    d.Text = "Sample set " + std::to_string(s);
    set.Add(d);
    for (int i = 1; i <= 50; ++i) {
      TQuestion q;
      q.Text = "Question " + std::to_string(i) + " of sample set " + std::to_string(s) + "?";
      for (int a = 0; a < 5; ++a) q.Answers[a] = "Answer " + std::string(1, static_cast<char>('A' + a));
      q.CorrectMask = 1;
      set.Add(q);
    }
    set.ProtectedSet = false;
    set.SaveToFile(folder + "Tests/Sample" + std::to_string(s) + ".qst");
  }
}

void Report(const char* name, std::vector<TRun>& runs) {
  std::vector<double> times;
  long peak = 0;
  for (const TRun& r : runs) {
    times.push_back(r.Millis);
    peak = std::max(peak, r.PeakKb);
  }
  std::sort(times.begin(), times.end());
  std::printf("%-12s median %8.1f ms   min %8.1f ms   peak RSS %8.1f MiB\n", name, times[times.size() / 2],
              times.front(), peak / 1024.0);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 3 && std::string(argv[1]) == "--child-proctorium") return bench::ShowStartWindow(argc, argv, argv[2]);
  if (argc >= 2 && std::string(argv[1]) == "--child-bare") return ChildBare(argc, argv, false);
  if (argc >= 2 && std::string(argv[1]) == "--child-label") return ChildBare(argc, argv, true);

  std::string folder = argc >= 2 ? argv[1] : PROCTORIUM_PROGRAM_DIR;
  if (!folder.empty() && folder.back() != '/') folder += '/';
  const int runs = argc >= 3 ? std::max(1, std::atoi(argv[2])) : 15;
  if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) setenv("QT_QPA_PLATFORM", "offscreen", 0);

  QTemporaryDir temp;
  if (!HasSampleSets(folder)) {
    std::printf("no sample sets in %s; using generated ones\n", folder.c_str());
    folder = temp.path().toStdString() + "/";
    MakeSampleFolder(folder);
  }
  std::printf("program folder %s, %d runs each, platform %s\n", folder.c_str(), runs,
              std::getenv("QT_QPA_PLATFORM") ? std::getenv("QT_QPA_PLATFORM") : "default");

  const std::string self = argv[0][0] == '/' ? argv[0] : std::string(QDir::currentPath().toStdString()) + "/" + argv[0];
  std::vector<TRun> program, bare, label;
  RunChild({self, "--child-bare"});  // warm the file cache for both
  RunChild({self, "--child-proctorium", folder});
  for (int i = 0; i < runs; ++i) {
    bare.push_back(RunChild({self, "--child-bare"}));
    label.push_back(RunChild({self, "--child-label"}));
    program.push_back(RunChild({self, "--child-proctorium", folder}));
    if (!bare.back().Ok || !program.back().Ok) {
      std::printf("a run failed\n");
      return 1;
    }
  }
  Report("bare window", bare);
  Report("with a label", label);
  Report("Proctorium", program);
  std::vector<double> bt, pt;
  long bm = 0, pm = 0, lm = 0;
  std::vector<double> lt;
  for (auto& r : label) lt.push_back(r.Millis), lm = std::max(lm, r.PeakKb);
  std::sort(lt.begin(), lt.end());
  for (auto& r : bare) bt.push_back(r.Millis), bm = std::max(bm, r.PeakKb);
  for (auto& r : program) pt.push_back(r.Millis), pm = std::max(pm, r.PeakKb);
  std::sort(bt.begin(), bt.end());
  std::sort(pt.begin(), pt.end());
  std::printf("ratio        time %.2fx   memory %.2fx   (target at most 1.30x each)\n",
              pt[pt.size() / 2] / bt[bt.size() / 2], double(pm) / double(bm));
  std::printf("against the window with a label: time %.2fx   memory %.2fx\n", pt[pt.size() / 2] / lt[lt.size() / 2],
              double(pm) / double(lm));
  return 0;
}
