#include "web/GoToWeb.h"
#include "web/core/DesktopBrowser.h"

#include <cstdlib>

#ifdef _WIN32
#include <QApplication>
#include <QWidget>

#include "web/core/RegistryLookup.h"
#include "web/core/ShellLaunch.h"
#else
#include <QProcess>
#include <QStringList>
#endif

namespace proctorium {

std::string BrowserParams;

namespace {

TLaunchHook& Hook() {
  static TLaunchHook hook;
  return hook;
}

#ifdef _WIN32

bool Launch(const std::string& program, const std::string& params, int showCommand) {
  if (Hook()) return Hook()(program, {params});
  void* owner = nullptr;
  if (QWidget* main = QApplication::activeWindow()) owner = reinterpret_cast<void*>(main->winId());
  return ShellStartProgram(program, params, showCommand, owner);
}

#else

bool Launch(const std::vector<std::string>& command) {
  if (command.empty()) return false;
  const std::vector<std::string> args(command.begin() + 1, command.end());
  if (Hook()) return Hook()(command.front(), args);
  QStringList qargs;
  for (const std::string& a : args) qargs << QString::fromStdString(a);
  return QProcess::startDetached(QString::fromStdString(command.front()), qargs);
}

// Tries the candidates in turn; a handler whose program is missing gives
// way to the next. error names every program tried when none started.
bool LaunchFirst(const std::string& mimeType, const std::string& target, std::string& error) {
  const char* browser = std::getenv("BROWSER");
  const auto commands =
      OpenCommands(mimeType, target, XdgDirsFromEnvironment([](const char* name) { return std::getenv(name); }),
                   browser ? browser : "");
  std::string tried;
  for (const std::vector<std::string>& command : commands) {
    if (Launch(command)) {
      error.clear();
      return true;
    }
    tried += (tried.empty() ? "\"" : ", \"") + command.front() + "\"";
  }
  error = "No web browser could be started (tried " + tried +
          "). Choose a default web browser for the desktop, or name one in the BROWSER environment variable.";
  return false;
}

#endif

}  // namespace

void SetLaunchHook(TLaunchHook hook) { Hook() = std::move(hook); }

TGoToWeb::TGoToWeb(QObject* parent) : QObject(parent) { setObjectName(QStringLiteral("GoToWeb1")); }

#ifdef _WIN32

std::string TGoToWeb::FindBrowserCommand() { return FindRegisteredBrowserCommand(); }

std::string TGoToWeb::GetBrowser() {
  const std::string command = FindBrowserCommand();
  if (command.empty()) return std::string();
  const TBrowserCommand split = SplitBrowserCommand(command);
  BrowserParams = split.Params;
  return split.Program;
}

namespace {

bool LaunchBrowser(const std::string& program, const std::string& params, int showCommand, std::string& error) {
  if (program.empty()) {
    error = "No program is registered for opening web pages (.htm files).";
    return false;
  }
  if (Launch(program, params, showCommand)) {
    error.clear();
    return true;
  }
  error = "The web browser \"" + program + "\" could not be started.";
  return false;
}

}  // namespace

bool TGoToWeb::ExecuteUrl() {
  const std::string program = GetBrowser();
  return LaunchBrowser(program, BrowserParams + " " + Url, BrowserShowCommand(BrowserState), LastError);
}

bool TGoToWeb::ExecuteMail() {
  const std::string program = GetBrowser();
  return LaunchBrowser(program, BrowserParams + " mailto:" + EMail, BrowserShowCommand(BrowserState), LastError);
}

#else

// Without a registry the desktop's own choice of web browser opens pages,
// and its mail handler opens addresses, since a browser handed a bare
// "mailto:" would only show an error page.
bool TGoToWeb::ExecuteUrl() {
  if (Url.empty()) {
    LastError = "No page was given.";
    return false;
  }
  return LaunchFirst("text/html", Url, LastError);
}

bool TGoToWeb::ExecuteMail() {
  if (EMail.empty()) {
    LastError = "No e-mail address was given.";
    return false;
  }
  return LaunchFirst("x-scheme-handler/mailto", "mailto:" + EMail, LastError);
}

#endif

}  // namespace proctorium
