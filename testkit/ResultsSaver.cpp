// Test-only program: one seat saving results through the results window,
// as the test window's Save Results does, into the program folder given.
//
//   results_saver <program folder> <saves> <tag>
//
// Prints the number of each save once it is on disk. A message box (a save
// that failed) ends it with exit code 3.

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/Startup.h"
#include "base/MessageDlg.h"
#include "base/ProgramFolder.h"
#include "session/ResultsForm.h"
#include "session/core/DetailLog.h"

using namespace proctorium;

int main(int argc, char* argv[]) {
  if (argc != 4) return 2;
  QApplication app(argc, argv);
  const std::string folder = argv[1];
  const int saves = std::atoi(argv[2]);
  const QString tag = QString::fromLocal8Bit(argv[3]);
  SetMessageHook([](const QString& text, TMsgDlgType, unsigned, unsigned) -> int {
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    std::exit(3);
  });
  CreateForms(folder);
  // Eight seats on a busy machine may queue for the lock longer than a user
  // would be asked to wait; the test is about what gets written, not how fast.
  ResultsForm->LockWaitMs = -1;
  for (int i = 0; i < saves; ++i) {
    // With the entry, the answers of a 20-question test go to the detail
    // log, as Save Results adds them.
    TDetailTest detail;
    detail.DateTime = "2026-01-01 00:00:01";
    detail.TestId = tag.toStdString() + "_" + std::to_string(i);
    detail.SetFile = "Quiz.qst";
    detail.QuestionsInSet = 20;
    for (int q = 1; q <= 20; ++q) detail.Outcomes.push_back({static_cast<std::int16_t>(q), 15, 1, 1, true});
    ResultsForm->AddLines({QStringLiteral("01/01/2026  %1_%2.qst     Time taken: 00:00:01").arg(tag).arg(i),
                           QStringLiteral("   1 of 1 Correct [100%]  "), QString()},
                          [&] { AppendDetailLog(ProgramPath(DetailLogRelative), detail); });
    std::printf("%d\n", i);
    std::fflush(stdout);
  }
  DestroyForms();
  return 0;
}
