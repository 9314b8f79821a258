#include "web/GoToWeb.h"

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

std::vector<std::string> LinuxCommand(const std::string& mimeType, const std::string& target) {
  const char* browser = std::getenv("BROWSER");
  return OpenCommand(mimeType, target, XdgDirsFromEnvironment([](const char* name) { return std::getenv(name); }),
                     browser ? browser : "");
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

bool TGoToWeb::ExecuteUrl() {
  const std::string program = GetBrowser();
  if (program.empty()) return false;
  return Launch(program, BrowserParams + " " + Url, BrowserShowCommand(BrowserState));
}

bool TGoToWeb::ExecuteMail() {
  const std::string program = GetBrowser();
  if (program.empty()) return false;
  return Launch(program, BrowserParams + " mailto:" + EMail, BrowserShowCommand(BrowserState));
}

#else

// Without a registry the desktop's own choice of web browser opens pages,
// and its mail handler opens addresses, since a browser handed a bare
// "mailto:" would only show an error page.
bool TGoToWeb::ExecuteUrl() {
  if (Url.empty()) return false;
  return Launch(LinuxCommand("text/html", Url));
}

bool TGoToWeb::ExecuteMail() {
  if (EMail.empty()) return false;
  const std::string target = "mailto:" + EMail;
  std::vector<std::string> command = LinuxCommand("x-scheme-handler/mailto", target);
  return Launch(command);
}

#endif

}  // namespace proctorium
