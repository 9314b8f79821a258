#include "web/core/DesktopBrowser.h"
#include "base/core/Ascii.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <system_error>

#include "base/core/FileIO.h"
#include "base/core/OptionsFile.h"

namespace proctorium {

namespace fs = std::filesystem;

namespace {

std::vector<std::string> Split(const std::string& s, char separator) {
  std::vector<std::string> parts;
  std::string part;
  std::istringstream in(s);
  while (std::getline(in, part, separator)) {
    part = Trim(part);
    if (!part.empty()) parts.push_back(part);
  }
  return parts;
}

// Only absolute paths count in the XDG variables; relative ones are
// ignored, as the base directory rules require.
std::vector<std::string> AbsolutePaths(const std::string& list) {
  std::vector<std::string> out;
  for (const std::string& p : Split(list, ':'))
    if (p.front() == '/') out.push_back(p);
  return out;
}

std::string Join(const std::string& folder, const std::string& name) {
  if (folder.empty() || folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

bool IsFile(const std::string& path) {
  std::error_code ec;
  return fs::is_regular_file(ToFsPath(path), ec);
}

using TIniGroup = std::map<std::string, std::string>;
using TIniFile = std::map<std::string, TIniGroup>;

// A desktop-entry style key file. The first occurrence of a group or key
// wins; later duplicates are ignored.
TIniFile ReadIniFile(const std::string& path) {
  TIniFile ini;
  std::string bytes;
  if (!ReadWholeFile(path, bytes)) return ini;
  std::istringstream in(bytes);
  std::string line;
  std::string group;
  std::set<std::string> seenGroups;
  bool skipping = false;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::string t = Trim(line);
    if (t.empty() || t.front() == '#') continue;
    if (t.front() == '[') {
      const size_t close = t.find(']');
      group = t.substr(1, close == std::string::npos ? std::string::npos : close - 1);
      skipping = !seenGroups.insert(group).second;
      continue;
    }
    if (skipping || group.empty()) continue;
    const size_t eq = t.find('=');
    if (eq == std::string::npos) continue;
    const std::string key = Trim(t.substr(0, eq));
    ini[group].emplace(key, Trim(t.substr(eq + 1)));
  }
  return ini;
}

std::vector<std::string> ListValue(const TIniFile& ini, const std::string& group, const std::string& key) {
  auto g = ini.find(group);
  if (g == ini.end()) return {};
  auto k = g->second.find(key);
  if (k == g->second.end()) return {};
  return Split(k->second, ';');
}

// The string escapes of key files: \s \n \t \r \\.
std::string UnescapeValue(const std::string& v) {
  std::string out;
  for (size_t i = 0; i < v.size(); ++i) {
    if (v[i] != '\\' || i + 1 == v.size()) {
      out += v[i];
      continue;
    }
    switch (v[++i]) {
      case 's':
        out += ' ';
        break;
      case 'n':
        out += '\n';
        break;
      case 't':
        out += '\t';
        break;
      case 'r':
        out += '\r';
        break;
      case '\\':
        out += '\\';
        break;
      default:
        out += '\\';
        out += v[i];
    }
  }
  return out;
}

std::vector<std::string> ApplicationDirs(const TXdgDirs& dirs) {
  std::vector<std::string> out;
  if (!dirs.DataHome.empty()) out.push_back(Join(dirs.DataHome, "applications"));
  for (const std::string& d : dirs.DataDirs) out.push_back(Join(d, "applications"));
  return out;
}

bool IsHidden(const std::string& desktopFile) {
  const TIniFile ini = ReadIniFile(desktopFile);
  auto g = ini.find("Desktop Entry");
  if (g == ini.end()) return true;  // not a desktop entry at all
  auto k = g->second.find("Hidden");
  return k != g->second.end() && k->second == "true";
}

// A desktop file ID names a file below an applications folder, with '-'
// standing for each folder separator ("kde4-app.desktop" may be
// "kde4/app.desktop").
std::string FindIdInFolder(const std::string& folder, const std::string& desktopId) {
  std::string direct = Join(folder, desktopId);
  if (IsFile(direct)) return direct;
  if (desktopId.find('-') == std::string::npos) return std::string();
  std::error_code ec;
  const fs::path root = ToFsPath(folder);
  for (fs::recursive_directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
    if (!it->is_regular_file(ec)) continue;
    std::string id = FromFsPath(fs::relative(it->path(), root, ec));
    std::replace(id.begin(), id.end(), '/', '-');
#ifdef _WIN32
    std::replace(id.begin(), id.end(), '\\', '-');
#endif
    if (id == desktopId) return FromFsPath(it->path());
  }
  return std::string();
}

}  // namespace

TXdgDirs XdgDirsFromEnvironment(const TGetEnv& getenv) {
  auto value = [&](const char* name) {
    const char* v = getenv(name);
    return std::string(v ? v : "");
  };
  const std::string home = value("HOME");
  TXdgDirs d;
  d.ConfigHome = value("XDG_CONFIG_HOME");
  if (d.ConfigHome.empty() || d.ConfigHome.front() != '/') d.ConfigHome = home.empty() ? "" : Join(home, ".config");
  d.ConfigDirs = AbsolutePaths(value("XDG_CONFIG_DIRS"));
  if (d.ConfigDirs.empty()) d.ConfigDirs = {"/etc/xdg"};
  d.DataHome = value("XDG_DATA_HOME");
  if (d.DataHome.empty() || d.DataHome.front() != '/') d.DataHome = home.empty() ? "" : Join(home, ".local/share");
  d.DataDirs = AbsolutePaths(value("XDG_DATA_DIRS"));
  if (d.DataDirs.empty()) d.DataDirs = {"/usr/local/share", "/usr/share"};
  for (const std::string& desktop : Split(value("XDG_CURRENT_DESKTOP"), ':')) d.Desktops.push_back(LowerAscii(desktop));
  return d;
}

std::vector<std::string> MimeAppsListFiles(const TXdgDirs& dirs) {
  std::vector<std::string> folders;
  if (!dirs.ConfigHome.empty()) folders.push_back(dirs.ConfigHome);
  folders.insert(folders.end(), dirs.ConfigDirs.begin(), dirs.ConfigDirs.end());
  if (!dirs.DataHome.empty()) folders.push_back(Join(dirs.DataHome, "applications"));
  for (const std::string& d : dirs.DataDirs) folders.push_back(Join(d, "applications"));
  std::vector<std::string> files;
  for (const std::string& folder : folders) {
    for (const std::string& desktop : dirs.Desktops) files.push_back(Join(folder, desktop + "-mimeapps.list"));
    files.push_back(Join(folder, "mimeapps.list"));
  }
  return files;
}

std::string FindDesktopFile(const std::string& desktopId, const TXdgDirs& dirs) {
  if (desktopId.empty() || desktopId.find('/') != std::string::npos) return std::string();
  for (const std::string& folder : ApplicationDirs(dirs)) {
    const std::string path = FindIdInFolder(folder, desktopId);
    if (path.empty()) continue;
    // The first folder that has the ID decides, even when it hides it.
    return IsHidden(path) ? std::string() : path;
  }
  return std::string();
}

std::string DefaultApplication(const std::string& mimeType, const TXdgDirs& dirs) {
  std::vector<TIniFile> lists;
  for (const std::string& file : MimeAppsListFiles(dirs)) lists.push_back(ReadIniFile(file));

  // An explicit default wins when it is installed, file by file.
  for (const TIniFile& ini : lists)
    for (const std::string& id : ListValue(ini, "Default Applications", mimeType))
      if (!FindDesktopFile(id, dirs).empty()) return id;

  // Otherwise the most preferred association that no file of the same or
  // higher precedence removed.
  std::set<std::string> removed;
  for (const TIniFile& ini : lists) {
    const std::vector<std::string> removedHere = ListValue(ini, "Removed Associations", mimeType);
    removed.insert(removedHere.begin(), removedHere.end());
    for (const std::string& id : ListValue(ini, "Added Associations", mimeType))
      if (!removed.count(id) && !FindDesktopFile(id, dirs).empty()) return id;
  }

  // Last, the applications that declare the type themselves, as the
  // desktop database caches them.
  for (const std::string& folder : ApplicationDirs(dirs)) {
    const TIniFile cache = ReadIniFile(Join(folder, "mimeinfo.cache"));
    for (const std::string& id : ListValue(cache, "MIME Cache", mimeType))
      if (!removed.count(id) && !FindDesktopFile(id, dirs).empty()) return id;
  }
  return std::string();
}

namespace {

std::string DesktopValue(const TIniFile& ini, const std::string& key) {
  auto g = ini.find("Desktop Entry");
  if (g == ini.end()) return std::string();
  auto k = g->second.find(key);
  return k == g->second.end() ? std::string() : UnescapeValue(k->second);
}

}  // namespace

std::vector<std::string> ExpandExec(const std::string& exec, const std::string& target,
                                    const TDesktopEntryInfo& entry) {
  std::vector<std::string> args;
  std::string cur;
  bool inArg = false;
  bool inQuote = false;
  bool quoted = false;   // the argument had quotes, so it stays even when empty
  bool dropped = false;  // the argument held a field code that expands to nothing
  bool sawTarget = false;
  auto finish = [&] {
    if (inArg && (!cur.empty() || quoted || !dropped)) args.push_back(cur);
    cur.clear();
    inArg = quoted = dropped = false;
  };
  for (size_t i = 0; i < exec.size(); ++i) {
    const char c = exec[i];
    if (inQuote) {
      if (c == '"') {
        inQuote = false;
      } else if (c == '\\' && i + 1 < exec.size() && std::string("\"`$\\").find(exec[i + 1]) != std::string::npos) {
        cur += exec[++i];
      } else if (c == '%' && i + 1 < exec.size() && exec[i + 1] == '%') {
        cur += '%';
        ++i;
      } else {
        cur += c;
      }
      continue;
    }
    if (c == ' ' || c == '\t' || c == '\n') {
      finish();
      continue;
    }
    inArg = true;
    if (c == '"') {
      inQuote = quoted = true;
    } else if (c == '%' && i + 1 < exec.size()) {
      const char code = exec[++i];
      if (code == '%') {
        cur += '%';
      } else if (code == 'f' || code == 'F' || code == 'u' || code == 'U') {
        cur += target;
        sawTarget = true;
      } else if (code == 'c') {
        cur += entry.Name;
        dropped = entry.Name.empty();
      } else if (code == 'k') {
        cur += entry.File;
        dropped = entry.File.empty();
      } else if (code == 'i') {
        // Two arguments of its own, and only where it stands alone.
        const bool alone = cur.empty() && (i + 1 == exec.size() || exec[i + 1] == ' ' || exec[i + 1] == '\t');
        if (alone && !entry.Icon.empty()) {
          args.emplace_back("--icon");
          cur = entry.Icon;
        } else {
          dropped = true;
        }
      } else {
        dropped = true;
      }
    } else {
      cur += c;
    }
  }
  if (inQuote) return {};
  finish();
  if (args.empty()) return {};
  if (!sawTarget) args.push_back(target);
  return args;
}

std::vector<std::string> DesktopHandlerCommand(const std::string& mimeType, const std::string& target,
                                               const TXdgDirs& dirs) {
  const std::string id = DefaultApplication(mimeType, dirs);
  if (id.empty()) return {};
  TDesktopEntryInfo entry;
  entry.File = FindDesktopFile(id, dirs);
  const TIniFile ini = ReadIniFile(entry.File);
  const std::string exec = DesktopValue(ini, "Exec");
  if (exec.empty()) return {};
  entry.Name = DesktopValue(ini, "Name");
  entry.Icon = DesktopValue(ini, "Icon");
  return ExpandExec(exec, target, entry);
}

namespace {

std::vector<std::string> BrowserEntryCommand(const std::string& command, const std::string& target) {
  std::vector<std::string> args;
  bool sawTarget = false;
  std::istringstream in(command);
  std::string word;
  while (in >> word) {
    std::string arg;
    for (size_t i = 0; i < word.size(); ++i) {
      if (word[i] == '%' && i + 1 < word.size() && word[i + 1] == 's') {
        arg += target;
        sawTarget = true;
        ++i;
      } else if (word[i] == '%' && i + 1 < word.size() && word[i + 1] == '%') {
        arg += '%';
        ++i;
      } else {
        arg += word[i];
      }
    }
    args.push_back(arg);
  }
  if (args.empty()) return args;
  if (!sawTarget) args.push_back(target);
  return args;
}

}  // namespace

std::vector<std::vector<std::string>> BrowserVariableCommands(const std::string& browser, const std::string& target) {
  std::vector<std::vector<std::string>> commands;
  for (const std::string& entry : Split(browser, ':')) {
    std::vector<std::string> cmd = BrowserEntryCommand(entry, target);
    if (!cmd.empty()) commands.push_back(std::move(cmd));
  }
  return commands;
}

std::vector<std::vector<std::string>> OpenCommands(const std::string& mimeType, const std::string& target,
                                                   const TXdgDirs& dirs, const std::string& browserVariable) {
  std::vector<std::vector<std::string>> commands;
  if (std::vector<std::string> handler = DesktopHandlerCommand(mimeType, target, dirs); !handler.empty())
    commands.push_back(std::move(handler));
  for (std::vector<std::string>& cmd : BrowserVariableCommands(browserVariable, target))
    commands.push_back(std::move(cmd));
  commands.push_back({"xdg-open", target});
  return commands;
}

}  // namespace proctorium
