#include "web/core/DesktopBrowser.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "testkit/core/TempDir.h"

using namespace proctorium;

namespace {

using TArgs = std::vector<std::string>;

TEST(DesktopBrowser, ExpandExec) {
  const std::string t = "/p/help page.htm";
  const TDesktopEntryInfo entry{"Web Browser", "icon", "/a.desktop"};
  const struct {
    const char* name;
    std::string exec;
    TArgs args;
    TDesktopEntryInfo entry = {};
  } cases[] = {
      {"url code", "firefox %u", {"firefox", t}},
      {"list code mid", "browser --new %U --x", {"browser", "--new", t, "--x"}},
      {"no code appends", "browser -a", {"browser", "-a", t}},
      {"percent escape", "b --rate=50%% --url=%f", {"b", "--rate=50%", "--url=" + t}},
      {"quoted args", R"("/opt/my app/b" "x\"y\\z\$" "" %u)", {"/opt/my app/b", "x\"y\\z$", "", t}},
      {"unterminated quote", "b \"abc %u", {}},
      {"codes of an empty entry vanish", "b %i %c %k %d %F", {"b", t}},
      {"icon is two arguments", "b %i %u", {"b", "--icon", "icon", t}, entry},
      {"name and file", "b --name=%c %k %u", {"b", "--name=Web Browser", "/a.desktop", t}, entry},
      {"icon not alone is dropped", "b x%i %u", {"b", "x", t}, entry},
  };
  for (const auto& c : cases) EXPECT_EQ(ExpandExec(c.exec, t, c.entry), c.args) << c.name;
}

TEST(DesktopBrowser, EnvironmentDefaultsAndOverrides) {
  std::map<std::string, std::string> env{{"HOME", "/home/u"}};
  auto get = [&env](const char* name) -> const char* {
    auto it = env.find(name);
    return it == env.end() ? nullptr : it->second.c_str();
  };
  // Config home, config dirs, data home, data dirs, desktops.
  auto dirs = [&get] {
    const TXdgDirs d = XdgDirsFromEnvironment(get);
    return std::vector<TArgs>{{d.ConfigHome}, d.ConfigDirs, {d.DataHome}, d.DataDirs, d.Desktops};
  };
  EXPECT_EQ(dirs(),
            (std::vector<TArgs>{
                {"/home/u/.config"}, {"/etc/xdg"}, {"/home/u/.local/share"}, {"/usr/local/share", "/usr/share"}, {}}));
  env["XDG_CONFIG_HOME"] = "/c";
  env["XDG_CONFIG_DIRS"] = "/d1:relative:/d2";
  env["XDG_DATA_HOME"] = "not/absolute";
  env["XDG_DATA_DIRS"] = "/s";
  env["XDG_CURRENT_DESKTOP"] = "ubuntu:GNOME";
  EXPECT_EQ(dirs(),
            (std::vector<TArgs>{{"/c"}, {"/d1", "/d2"}, {"/home/u/.local/share"}, {"/s"}, {"ubuntu", "gnome"}}));

  const TArgs files = MimeAppsListFiles(XdgDirsFromEnvironment(get));
  ASSERT_EQ(files.size(), 5u * 3);
  EXPECT_EQ(TArgs(files.begin(), files.begin() + 3),
            (TArgs{"/c/ubuntu-mimeapps.list", "/c/gnome-mimeapps.list", "/c/mimeapps.list"}));
  EXPECT_EQ(files.back(), "/s/applications/mimeapps.list");
}

// A fake home with XDG folders in a temporary directory, where a.desktop
// ("a %u") and b.desktop ("b --new-window %U") are installed system-wide.
struct TXdgHome {
  TXdgHome() {
    dirs = {dir.Path("config"),
            {dir.Path("etc/xdg")},
            dir.Path("local"),
            {dir.Path("usr/local/share"), dir.Path("usr/share")},
            {"kde"}};
    for (auto [id, exec] : {std::pair{"a.desktop", "a %u"}, std::pair{"b.desktop", "b --new-window %U"}})
      dir.WriteFile(std::string("usr/share/applications/") + id,
                    std::string("[Desktop Entry]\nType=Application\nName=X\nExec=") + exec + "\n");
  }
  testkit::TTempDir dir;
  TXdgDirs dirs;
};

TEST(DesktopBrowser, DesktopHandler) {
  const std::string def = "[Default Applications]\ntext/html=";
  const TArgs a{"a", "p"}, b{"b", "--new-window", "p"};
  const struct {
    const char* name;
    std::vector<std::pair<std::string, std::string>> files;  // relative path, contents
    TArgs command;
  } cases[] = {
      {"user list before system list",
       {{"etc/xdg/mimeapps.list", def + "a.desktop"}, {"config/mimeapps.list", def + "b.desktop;"}},
       b},
      {"desktop-specific list first",
       {{"config/mimeapps.list", def + "a.desktop"}, {"config/kde-mimeapps.list", def + "b.desktop"}},
       b},
      {"uninstalled default skipped", {{"config/mimeapps.list", def + "gone.desktop;a.desktop"}}, a},
      // A hidden entry in the user's folder masks the system's one.
      {"hidden entry",
       {{"config/mimeapps.list", def + "a.desktop"},
        {"local/applications/a.desktop", "[Desktop Entry]\nHidden=true\n"}},
       {}},
      {"added minus removed",
       {{"usr/share/applications/mimeapps.list", "[Added Associations]\ntext/html=a.desktop;b.desktop\n"},
        {"config/mimeapps.list", "[Removed Associations]\ntext/html=a.desktop\n"}},
       b},
      {"cache and subfolder id",
       {{"usr/share/applications/vendor/web.desktop", "[Desktop Entry]\nType=Application\nExec=web\\sbrowser %u"},
        {"usr/share/applications/mimeinfo.cache", "[MIME Cache]\ntext/html=vendor-web.desktop;\n"}},
       {"web", "browser", "p"}},
  };
  for (const auto& c : cases) {
    TXdgHome h;
    for (const auto& [path, text] : c.files) h.dir.WriteFile(path, text);
    EXPECT_EQ(DesktopHandlerCommand("text/html", "p", h.dirs), c.command) << c.name;
  }
}

// The desktop's handler first, then every entry of $BROWSER, then xdg-open.
TEST(DesktopBrowser, OpenCommandsInOrder) {
  TXdgHome h;
  EXPECT_EQ(OpenCommands("text/html", "p", h.dirs, ""), (std::vector<TArgs>{{"xdg-open", "p"}}));
  h.dir.WriteFile("config/mimeapps.list", "[Default Applications]\ntext/html=a.desktop\n");
  const std::vector<TArgs> expected{{"a", "p"}, {"w3m", "--open=p", "-q"}, {"lynx", "p"}, {"xdg-open", "p"}};
  EXPECT_EQ(OpenCommands("text/html", "p", h.dirs, "w3m --open=%s -q::lynx"), expected);
}

}  // namespace
