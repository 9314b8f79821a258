#include "web/GoToWeb.h"

#include <cstdlib>

#ifdef _WIN32
// windows.h first: shellapi.h builds on its types.
#include <windows.h>

#include <shellapi.h>

#include <QApplication>
#include <QWidget>
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

// The value's text is what stands before its first zero byte. A value that
// does not fit the buffer counts as no value: a cut command would start
// the wrong program.
std::string ReadDefaultValue(HKEY key) {
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExA(key, nullptr, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return std::string();
  char buffer[1025] = {};
  if (size > sizeof buffer - 1) return std::string();
  size = sizeof buffer - 1;
  if (RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS)
    return std::string();
  return std::string(buffer);
}

bool Launch(const std::string& program, const std::string& params, int showCommand) {
  if (Hook()) return Hook()(program, {params});
  HWND owner = nullptr;
  if (QWidget* main = QApplication::activeWindow()) owner = reinterpret_cast<HWND>(main->winId());
  const auto result =
      reinterpret_cast<INT_PTR>(ShellExecuteA(owner, nullptr, program.c_str(), params.c_str(), nullptr, showCommand));
  return result > 32;
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

std::string TGoToWeb::FindBrowserCommand() {
  for (const char* extension : {".HTM", ".HTML", ".SHTML", ".SHTM"}) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, extension, 0, KEY_READ, &key) != ERROR_SUCCESS) continue;
    std::string command;
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key, nullptr, nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
      const std::string typeName = ReadDefaultValue(key);
      if (!typeName.empty()) {
        HKEY typeKey = nullptr;
        if (RegOpenKeyExA(HKEY_CLASSES_ROOT, (typeName + "\\shell\\open\\command").c_str(), 0, KEY_READ, &typeKey) ==
            ERROR_SUCCESS) {
          command = ReadDefaultValue(typeKey);
          RegCloseKey(typeKey);
        }
      }
      if (command.empty()) {
        HKEY ownKey = nullptr;
        if (RegOpenKeyExA(key, "shell\\open\\command", 0, KEY_READ, &ownKey) == ERROR_SUCCESS) {
          command = ReadDefaultValue(ownKey);
          RegCloseKey(ownKey);
        }
      }
    }
    RegCloseKey(key);
    if (!command.empty()) return CleanCommand(command);
  }
  return std::string();
}

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
