#pragma once
// The browser command on Windows, without any GUI toolkit: the command
// registered for ".htm" files is cleaned of its placeholders and split into
// the browser program and its fixed parameters. The lookup on other desktops
// is in DesktopBrowser.h.

#include <string>

namespace proctorium {

// How the browser window is shown; values are the shell's order.
enum TBrowserState { gwMaximized = 0, gwNormal = 1 };

// The window show command for a browser state: maximised 3, normal 1,
// anything else 0.
int BrowserShowCommand(int state);

// Removes every '%' together with the character after it ("%1", "%L").
// A '%' in the last place of a command longer than one character stays.
std::string CleanCommand(const std::string& command);

struct TBrowserCommand {
  std::string Program;  // upper case, opening quote removed
  std::string Params;   // trimmed, leading quotes removed
};

// Upper-cases a cleaned command and splits it after the last ".EXE",
// ".BAT" or ".COM".
TBrowserCommand SplitBrowserCommand(const std::string& command);

}  // namespace proctorium
