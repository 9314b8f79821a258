#include "web/core/BrowserCommand.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "testkit/core/TempDir.h"

using namespace proctorium;

namespace {

using TArgs = std::vector<std::string>;

std::string Join(const TArgs& parts) {
  std::string out;
  for (const auto& p : parts) out += (out.empty() ? "" : ":") + p;
  return out;
}

// A fake home with XDG folders inside a temporary directory.
class TXdgHome {
 public:
  TXdgHome() {
    dirs.ConfigHome = dir.Path("config");
    dirs.ConfigDirs = {dir.Path("etc/xdg")};
    dirs.DataHome = dir.Path("local");
    dirs.DataDirs = {dir.Path("usr/local/share"), dir.Path("usr/share")};
    App("usr/share", "a.desktop", "a %u");
    App("usr/share", "b.desktop", "b --new-window %U");
  }
  void Write(const std::string& rel, const std::string& text) const { dir.WriteFile(rel, text); }
  void App(const std::string& dataDir, const std::string& file, const std::string& exec) const {
    Write(dataDir + "/applications/" + file, "[Desktop Entry]\nType=Application\nName=X\nExec=" + exec + "\n");
  }
  testkit::TTempDir dir;
  TXdgDirs dirs;
};

TEST(BrowserCommand, CleanCommandRemovesPlaceholders) {
  const struct {
    std::string command, cleaned;
  } cases[] = {
      {"C:\\Browser\\browse.exe -nohome %1", "C:\\Browser\\browse.exe -nohome "},
      {"b.exe %L -x \"%1\"", "b.exe  -x \"\""},
      {"b.exe -x %", "b.exe -x %"},  // trailing percent stays
      {"a%%b", "ab"},
      {"%", ""},
      {"%1", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(CleanCommand(c.command), c.cleaned) << c.command;
}

// The registry's command goes through the clean-up first, as the launcher does.
TEST(BrowserCommand, SplitFindsProgramAndParameters) {
  const struct {
    std::string command, program, params;
  } cases[] = {
      {"C:\\Browser\\browse.exe -nohome %1", "C:\\BROWSER\\BROWSE.EXE", "-NOHOME"},
      {"\"C:\\Program Files\\B\\b.exe\" -new \"%1\"", "C:\\PROGRAM FILES\\B\\B.EXE", " -NEW \"\""},
      {"c:\\b\\b.exe", "C:\\B\\B.EXE", ""},
      {"c:\\x.com\\run.bat go", "C:\\X.COM\\RUN.BAT", "GO"},  // last extension wins
      {"browse -nohome", "BROWSE", "-NOHOME"},
      {"\"/opt/my browser\" -x", "/OPT/MY BROWSER", "-X"},
  };
  for (const auto& c : cases) {
    const TBrowserCommand split = SplitBrowserCommand(CleanCommand(c.command));
    EXPECT_EQ(split.Program, c.program) << c.command;
    EXPECT_EQ(split.Params, c.params) << c.command;
  }
}

TEST(BrowserCommand, ExpandExec) {
  const std::string t = "/p/help page.htm";
  const struct {
    const char* name;
    std::string exec;
    TArgs args;
  } cases[] = {
      {"url code", "firefox %u", {"firefox", t}},
      {"list code mid", "browser --new %U --x", {"browser", "--new", t, "--x"}},
      {"no code appends", "browser -a", {"browser", "-a", t}},
      {"dropped codes vanish", "b %i %c %k %F", {"b", t}},
      {"percent escape", "b --rate=50%% %f", {"b", "--rate=50%", t}},
      {"embedded code", "b --url=%u", {"b", "--url=" + t}},
      {"quoted args", R"("/opt/my app/b" "a b" %u)", {"/opt/my app/b", "a b", t}},
      {"quoted escapes", R"("x\"y\\z\$" %u)", {"x\"y\\z$", t}},
      {"empty quoted arg stays", "b \"\" %u", {"b", "", t}},
      {"unterminated quote", "b \"abc %u", {}},
      {"blank", "   ", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(ExpandExec(c.exec, t), c.args) << c.name;
}

TEST(BrowserCommand, EnvironmentDefaultsAndOverrides) {
  std::map<std::string, std::string> env{{"HOME", "/home/u"}};
  auto get = [&env](const char* name) -> const char* {
    auto it = env.find(name);
    return it == env.end() ? nullptr : it->second.c_str();
  };
  // Config home, config dirs, data home, data dirs, desktops.
  auto dirs = [&get] {
    const TXdgDirs d = XdgDirsFromEnvironment(get);
    return TArgs{d.ConfigHome, Join(d.ConfigDirs), d.DataHome, Join(d.DataDirs), Join(d.Desktops)};
  };
  EXPECT_EQ(dirs(), (TArgs{"/home/u/.config", "/etc/xdg", "/home/u/.local/share", "/usr/local/share:/usr/share", ""}));
  env["XDG_CONFIG_HOME"] = "/c";
  env["XDG_CONFIG_DIRS"] = "/d1:relative:/d2";
  env["XDG_DATA_HOME"] = "not/absolute";
  env["XDG_DATA_DIRS"] = "/s";
  env["XDG_CURRENT_DESKTOP"] = "ubuntu:GNOME";
  EXPECT_EQ(dirs(), (TArgs{"/c", "/d1:/d2", "/home/u/.local/share", "/s", "ubuntu:gnome"}));

  const TArgs files = MimeAppsListFiles(XdgDirsFromEnvironment(get));
  ASSERT_EQ(files.size(), 5u * 3);
  EXPECT_EQ(TArgs(files.begin(), files.begin() + 3),
            (TArgs{"/c/ubuntu-mimeapps.list", "/c/gnome-mimeapps.list", "/c/mimeapps.list"}));
  EXPECT_EQ(files[9], "/home/u/.local/share/applications/ubuntu-mimeapps.list");
  EXPECT_EQ(files.back(), "/s/applications/mimeapps.list");
}

// Every case has a.desktop ("a %u") and b.desktop ("b --new-window %U")
// installed system-wide.
TEST(BrowserCommand, DesktopHandler) {
  const std::string def = "[Default Applications]\ntext/html=";
  const TArgs b{"b", "--new-window", "p"};
  const std::pair<std::string, std::string> added{"usr/share/applications/mimeapps.list",
                                                  "[Added Associations]\ntext/html=a.desktop;b.desktop\n"};
  const struct {
    const char* name;
    std::vector<std::pair<std::string, std::string>> files;  // relative path, contents
    std::string chosen;
    TArgs command;
  } cases[] = {
      {"user list before system list",
       {{"etc/xdg/mimeapps.list", def + "a.desktop"}, {"config/mimeapps.list", def + "b.desktop;"}},
       "b.desktop",
       b},
      {"desktop-specific list first",
       {{"config/mimeapps.list", def + "a.desktop"}, {"config/kde-mimeapps.list", def + "b.desktop"}},
       "b.desktop",
       b},
      {"uninstalled default skipped",
       {{"config/mimeapps.list", def + "gone.desktop;a.desktop"}},
       "a.desktop",
       {"a", "p"}},
      // A hidden entry in the user's folder masks the system's one.
      {"hidden entry",
       {{"config/mimeapps.list", def + "a.desktop"},
        {"local/applications/a.desktop", "[Desktop Entry]\nHidden=true\n"}},
       "",
       {}},
      {"added associations", {added}, "a.desktop", {"a", "p"}},
      {"added minus removed",
       {added, {"config/mimeapps.list", "[Removed Associations]\ntext/html=a.desktop\n"}},
       "b.desktop",
       b},
      {"cache and subfolder id",
       {{"usr/share/applications/vendor/web.desktop", "[Desktop Entry]\nType=Application\nExec=web\\sbrowser %u"},
        {"usr/share/applications/mimeinfo.cache", "[MIME Cache]\ntext/html=vendor-web.desktop;\n"}},
       "vendor-web.desktop",
       {"web", "browser", "p"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TXdgHome h;
    h.dirs.Desktops = {"kde"};
    for (const auto& [path, text] : c.files) h.Write(path, text);
    EXPECT_EQ(DefaultApplication("text/html", h.dirs), c.chosen);
    EXPECT_EQ(DesktopHandlerCommand("text/html", "p", h.dirs), c.command);
  }
}

TEST(BrowserCommand, OpenCommandFallbacks) {
  TXdgHome h;
  EXPECT_EQ(OpenCommand("text/html", "p", h.dirs, ""), (TArgs{"xdg-open", "p"}));
  EXPECT_EQ(OpenCommand("text/html", "p", h.dirs, "w3m"), (TArgs{"w3m", "p"}));
  h.Write("config/mimeapps.list", "[Default Applications]\ntext/html=a.desktop\n");
  EXPECT_EQ(OpenCommand("text/html", "p", h.dirs, "w3m"), (TArgs{"a", "p"}));
}

}  // namespace
