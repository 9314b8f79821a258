#include "bench/ChildProcess.h"

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QApplication>
#include <QWindow>
#include <chrono>
#include <cstdio>

#include "app/StartForm.h"
#include "app/Startup.h"

extern char** environ;

namespace proctorium::bench {

using Clock = std::chrono::steady_clock;

TChildRun RunChild(const std::vector<std::string>& args) {
  int fds[2];
  TChildRun run;
  if (pipe(fds) != 0) return run;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, fds[0]);
  std::vector<char*> argv;
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = 0;
  const auto start = Clock::now();
  const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(fds[1]);
  if (rc != 0) {
    close(fds[0]);
    return run;
  }
  std::string out;
  char buf[256];
  ssize_t n;
  while (out.find("shown") == std::string::npos && (n = read(fds[0], buf, sizeof buf)) > 0) out.append(buf, n);
  run.Millis = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  // Drained to the end, so the child never blocks on a full pipe.
  while (read(fds[0], buf, sizeof buf) > 0) {
  }
  close(fds[0]);
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  run.PeakKb = usage.ru_maxrss;
  run.Ok = out.find("shown") != std::string::npos && WIFEXITED(status) && WEXITSTATUS(status) == 0;
  return run;
}

void WaitExposed(QWidget* w) {
  const auto deadline = Clock::now() + std::chrono::seconds(10);
  while (Clock::now() < deadline && !(w->windowHandle() && w->windowHandle()->isExposed()))
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  QCoreApplication::processEvents();
}

void ReportShown(QWidget* w) {
  WaitExposed(w);
  std::printf("shown\n");
  std::fflush(stdout);
}

int ShowStartWindow(int argc, char** argv, const std::string& folder) {
  QApplication app(argc, argv);
  CreateForms(folder);
  if (!CheckOptionsFile(folder)) return 1;
  StartForm->show();
  ReportShown(StartForm);
  DestroyForms();
  return 0;
}

}  // namespace proctorium::bench
