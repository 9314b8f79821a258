#pragma once
// Finding the program that shows a web page on freedesktop.org desktops,
// without any GUI toolkit: the default-application rules (mimeapps.list
// files, desktop entries and their Exec line), then $BROWSER, then xdg-open.

#include <functional>
#include <string>
#include <vector>

namespace proctorium {

// The XDG base directories that the lookup searches, most important first.
struct TXdgDirs {
  std::string ConfigHome;
  std::vector<std::string> ConfigDirs;
  std::string DataHome;
  std::vector<std::string> DataDirs;
  // XDG_CURRENT_DESKTOP entries, lower-cased.
  std::vector<std::string> Desktops;
};

// The directories as the environment gives them, with the standard
// defaults for unset or empty variables. getenv returns null for unset.
using TGetEnv = std::function<const char*(const char*)>;
TXdgDirs XdgDirsFromEnvironment(const TGetEnv& getenv);

// The mimeapps.list files to consult, in precedence order.
std::vector<std::string> MimeAppsListFiles(const TXdgDirs& dirs);

// The desktop file ID of the default application for mimeType, or empty.
std::string DefaultApplication(const std::string& mimeType, const TXdgDirs& dirs);

// Full path of an installed (not hidden) desktop entry, or empty.
std::string FindDesktopFile(const std::string& desktopId, const TXdgDirs& dirs);

// What the field codes %c, %i and %k of an Exec line stand for.
struct TDesktopEntryInfo {
  std::string Name;  // the entry's Name
  std::string Icon;  // its Icon, empty when it has none
  std::string File;  // the desktop file's path
};

// Splits an Exec value into arguments and expands its field codes:
// %f %F %u %U become target, %c the name, %k the desktop file, %i the two
// arguments "--icon" and the icon (nothing without an icon), %% a single
// '%'; other codes vanish. When the line has no target code, target is
// added as the last argument. Empty when the line is malformed (an
// unterminated quote).
std::vector<std::string> ExpandExec(const std::string& exec, const std::string& target,
                                    const TDesktopEntryInfo& entry = TDesktopEntryInfo());

// The command line that opens target with the default application of
// mimeType, or empty.
std::vector<std::string> DesktopHandlerCommand(const std::string& mimeType, const std::string& target,
                                               const TXdgDirs& dirs);

// Every command of a $BROWSER value (entries separated by ':'), in the
// order given, with "%s" replaced by target or target added as the last
// argument.
std::vector<std::vector<std::string>> BrowserVariableCommands(const std::string& browser, const std::string& target);

// What may open target, to be tried in this order until one starts: the
// desktop handler of mimeType, then each entry of $BROWSER, then xdg-open.
std::vector<std::vector<std::string>> OpenCommands(const std::string& mimeType, const std::string& target,
                                                   const TXdgDirs& dirs, const std::string& browserVariable);

}  // namespace proctorium
