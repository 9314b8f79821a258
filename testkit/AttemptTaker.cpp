// Test-only program: one seat taking an exam through the real start and
// test windows in the program folder given, on its only set.
//
//   attempt_taker <program folder>
//
// Answers the questions one after the other, ticking one answer each, and
// after every tick prints "<question> <answer mask>" once the test window
// has handled it; then it waits to be killed. A message box ends it with
// exit code 3.

#include <QApplication>
#include <QThread>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/StartForm.h"
#include "app/Startup.h"
#include "base/MessageDlg.h"
#include "base/ModalSeam.h"
#include "session/Form1.h"

using namespace proctorium;

int main(int argc, char* argv[]) {
  if (argc != 2) return 2;
  QApplication app(argc, argv);
  SetMessageHook([](const QString& text, TMsgDlgType, unsigned, unsigned) -> int {
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    std::exit(3);
  });
  SetModalHook([](QDialog* dlg) {
    auto* f = qobject_cast<TForm1*>(dlg);
    if (!f) std::exit(4);
    for (int step = 0;; ++step) {
      const int q = f->CurrentQuestionNumber();
      const int row = (q * 3 + step) % 3;  // one of the three answers
      (f->cb[row]->isHidden() ? static_cast<QAbstractButton*>(f->rb[row]) : f->cb[row])->click();
      std::printf("%d %d\n", q, 1 << row);
      std::fflush(stdout);
      QCoreApplication::processEvents();
      QThread::msleep(3);
      if (!f->btnNext->isEnabled()) break;
      f->btnNext->click();
    }
    for (;;) QThread::msleep(100);
    return 0;
  });
  CreateForms(argv[1]);
  StartForm->show();
  StartForm->FileListBox1->SetItemIndex(0);
  StartForm->btnStartClick();
  return 5;
}
