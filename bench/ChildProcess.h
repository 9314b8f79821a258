#pragma once
// What the start-up benchmarks share: a child process started afresh that
// reports when its window is on screen, timed from the spawn, with its peak
// memory. Benchmarks only; nothing here is part of the program.

#include <QWidget>
#include <string>
#include <vector>

namespace proctorium::bench {

struct TChildRun {
  double Millis = 0;  // from the spawn to the child's "shown"
  long PeakKb = 0;    // the child's maximum resident set
  bool Ok = false;    // it said "shown" and exited with 0
};

// Starts args[0] with args and waits for it to end.
TChildRun RunChild(const std::vector<std::string>& args);

// Waits until w is exposed and painted.
void WaitExposed(QWidget* w);
// In the child: WaitExposed, then says "shown".
void ReportShown(QWidget* w);

// In the child: starts the program on folder and reports its start window.
int ShowStartWindow(int argc, char** argv, const std::string& folder);

}  // namespace proctorium::bench
