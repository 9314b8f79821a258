// Test-only program: one seat saving results through the results window,
// as the test window's Save Results does, into the program folder given.
//
//   results_saver <program folder> <saves> <tag> [candidates]
//
// Prints the number of each save once it is on disk. A message box (a save
// that failed) ends it with exit code 3.
//
// With "candidates", each save goes into the results log, the detail log and
// the gradebook as one unit, as Save Results does for a named candidate;
// the candidates' names are ones that could break a log. A seat that finds
// the log locked by the others waits and tries again, however long that
// takes, so how busy the machine is cannot fail it.

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/Startup.h"
#include "base/MessageDlg.h"
#include "base/ProgramFolder.h"
#include "candidates/core/Gradebook.h"
#include "session/ResultsForm.h"
#include "session/core/DetailLog.h"

using namespace proctorium;

namespace {

// Names as candidates type them, each a threat to a CSV or a text log.
const char* const Names[] = {
    "O'Neil, \"Bo\"",    "=cmd|' /C calc'!A0", "\xd7\xa9\xd7\xa8\xd7\x94 \xd7\x9c\xd7\x95\xd7\x99",
    "Line\r\nbreak\x01", "+1; @SUM(A1)",       "Zo\xc3\xab M\xc3\xbcller"};

int SaveWithCandidates(const QString& tag, int saves) {
  bool locked = false;
  SetMessageHook([&](const QString& text, TMsgDlgType, unsigned, unsigned) -> int {
    if (text.contains(QStringLiteral("is in use by another seat"))) {
      locked = true;
      return mrOk;
    }
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    std::exit(3);
  });
  for (int i = 0; i < saves; ++i) {
    const std::string id = tag.toStdString() + "_" + std::to_string(i);
    TDetailTest detail;
    detail.DateTime = "2026-01-01 00:00:01";
    detail.TestId = id;
    detail.SetFile = "Quiz.qst";
    detail.QuestionsInSet = 20;
    detail.CandidateName = Names[i % std::size(Names)];
    detail.CandidateId = std::to_string(i);
    for (int q = 1; q <= 20; ++q) detail.Outcomes.push_back({static_cast<std::int16_t>(q), 15, 1, 1, true});
    TGradebookEntry entry;
    entry.DateTime = detail.DateTime;
    entry.CandidateName = detail.CandidateName;
    entry.CandidateId = detail.CandidateId;
    entry.SetFile = detail.SetFile;
    entry.QuestionsSeen = entry.QuestionsInSet = entry.Correct = 20;
    entry.Percent = 100;
    entry.SecondsTaken = 1;
    entry.TestId = id;
    locked = false;
    ResultsForm->SaveTest(
        {QStringLiteral("01/01/2026  %1_%2.qst     Time taken: 00:00:01").arg(tag).arg(i),
         QStringLiteral("   1 of 1 Correct [100%]  "), QString()},
        {{ProgramPath(DetailLogRelative), DetailLogRecords(detail, false), DetailLogRecords({}, true)},
         {ProgramPath(GradebookRelative), GradebookRecord(entry, false), GradebookFileStart()}});
    while (ResultsForm->PendingCount() > 0) {
      if (!locked) return 4;
      locked = false;
      ResultsForm->SavePending();
    }
    std::printf("%d\n", i);
    std::fflush(stdout);
  }
  SetMessageHook(nullptr);
  return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc != 4 && !(argc == 5 && std::string(argv[4]) == "candidates")) return 2;
  QApplication app(argc, argv);
  const std::string folder = argv[1];
  const int saves = std::atoi(argv[2]);
  const QString tag = QString::fromLocal8Bit(argv[3]);
  SetMessageHook([](const QString& text, TMsgDlgType, unsigned, unsigned) -> int {
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    std::exit(3);
  });
  CreateForms(folder);
  if (argc == 5) {
    const int code = SaveWithCandidates(tag, saves);
    DestroyForms();
    return code;
  }
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
