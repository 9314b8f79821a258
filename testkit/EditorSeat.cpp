// Test-only program: one teacher's seat in the question editor, driven by
// commands on standard input so a test can line two seats up on the same
// set and make them save at the same moment.
//
//   editor_seat <program folder> <set name> <tag>
//
// Commands, one a line, each answered with one line on standard output:
//   open     opens the editor on the set and adds the question "<tag> <n>"
//            (n counts the opens): "loaded"
//   save GO  answers "ready", waits until the file GO exists (so two seats
//            start together), then closes the editor, which saves the set:
//            "saved" when it closed, "told kept" when the save was refused
//            with a message and the editor stayed open with the new
//            question, "told lost" when it stayed open without it
//   discard  closes the editor without saving: "closed"
// Any other message box ends the seat with exit code 3.

#include <QApplication>
#include <QStringList>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <thread>

#include "app/StartForm.h"
#include "app/Startup.h"
#include "base/MessageDlg.h"
#include "base/ProgramFolder.h"
#include "base/core/FileIO.h"
#include "editor/AddEditForm.h"

using namespace proctorium;

namespace {

QStringList Shown;
bool GiveUp = false;

void Reply(const char* line) {
  std::printf("%s\n", line);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc != 4) return 2;
  QApplication app(argc, argv);
  const std::string folder = argv[1];
  const QString setName = QString::fromLocal8Bit(argv[2]);
  const std::string tag = argv[3];
  SetMessageHook([](const QString& text, TMsgDlgType type, unsigned, unsigned) -> int {
    Shown << text;
    if (type == TMsgDlgType::Error) return mrOk;
    if (text == QStringLiteral("The question set could not be saved. Close without saving ?"))
      return GiveUp ? mrYes : mrNo;
    // The other seat's unsaved work leaves a recovered copy of the set; a
    // seat opening it afresh starts from the file as saved.
    if (text.startsWith(QStringLiteral("This question set was not closed properly"))) return mrNo;
    std::fprintf(stderr, "unexpected message: %s\n", text.toLocal8Bit().constData());
    std::exit(3);
  });
  CreateForms(folder);
  int opened = 0;
  std::string question;
  for (std::string command; std::getline(std::cin, command);) {
    TAddEditForm* f = AddEditForm;
    if (command == "open") {
      StartForm->FileListBox1->SetDirectory(ProgramPath("Tests\\"));
      StartForm->FileListBox1->setCurrentItem(StartForm->FileListBox1->findItems(setName, Qt::MatchExactly).value(0));
      f->show();
      question = tag + " " + std::to_string(++opened);
      f->btnAdd->click();
      f->memoQuestion->setPlainText(QString::fromStdString(question));
      f->memoOption[0]->setPlainText(QStringLiteral("Yes"));
      f->SpeedButton[0]->click();
      f->btnSave->click();
      Reply("loaded");
    } else if (command.rfind("save ", 0) == 0) {
      Reply("ready");
      const std::string go = command.substr(5);
      while (!FileExists(go)) std::this_thread::yield();
      Shown.clear();
      GiveUp = false;
      f->btnClose->click();
      if (!f->isVisible()) {
        Reply("saved");
      } else {
        const TQuestionSet& set = f->QuestionSet;
        const bool kept = f->SetChanged && set.LastIndex >= 0 && set.Questions[set.LastIndex].Text == question;
        for (const QString& s : Shown) std::fprintf(stderr, "%s: %s\n", tag.c_str(), s.toLocal8Bit().constData());
        Reply(kept ? "told kept" : "told lost");
      }
    } else if (command == "discard") {
      GiveUp = true;
      f->btnClose->click();
      Reply(f->isVisible() ? "open" : "closed");
    } else {
      return 2;
    }
  }
  DestroyForms();
  return 0;
}
