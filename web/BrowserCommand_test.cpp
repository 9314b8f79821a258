#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <map>

#include "web/BrowserCommand.h"

using namespace proctorium;

namespace {

using TArgs = std::vector<std::string>;

QString Show(const TArgs& args) {
  QStringList l;
  for (const auto& a : args) l << "[" + QString::fromStdString(a) + "]";
  return l.join(' ');
}

// A fake home with XDG folders inside a temporary directory.
class TXdgHome {
 public:
  TXdgHome() {
    dirs.ConfigHome = Path("config");
    dirs.ConfigDirs = {Path("etc/xdg")};
    dirs.DataHome = Path("local");
    dirs.DataDirs = {Path("usr/local/share"), Path("usr/share")};
  }
  std::string Path(const std::string& rel) const { return dir.path().toStdString() + "/" + rel; }
  void Write(const std::string& rel, const std::string& text) {
    const QString p = QString::fromStdString(Path(rel));
    QDir().mkpath(QFileInfo(p).path());
    QFile f(p);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text.data(), qint64(text.size()));
  }
  void App(const std::string& dataDir, const std::string& file, const std::string& exec, bool hidden = false) {
    Write(dataDir + "/applications/" + file,
          "[Desktop Entry]\nType=Application\nName=X\nExec=" + exec + "\n" + (hidden ? "Hidden=true\n" : ""));
  }
  QTemporaryDir dir;
  TXdgDirs dirs;
};

}  // namespace

class BrowserCommandTest : public QObject {
  Q_OBJECT
 private slots:
  void cleanCommandRemovesPlaceholders_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("cleaned");
    QTest::newRow("example") << "C:\\Browser\\browse.exe -nohome %1"
                             << "C:\\Browser\\browse.exe -nohome ";
    QTest::newRow("several") << "b.exe %L -x \"%1\""
                             << "b.exe  -x \"\"";
    QTest::newRow("trailing percent stays") << "b.exe -x %"
                                            << "b.exe -x %";
    QTest::newRow("double percent") << "a%%b"
                                    << "ab";
    QTest::newRow("lone percent") << "%"
                                  << "";
    QTest::newRow("placeholder only") << "%1"
                                      << "";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("no placeholder") << "browse.exe"
                                    << "browse.exe";
  }
  void cleanCommandRemovesPlaceholders() {
    QFETCH(QString, command);
    QFETCH(QString, cleaned);
    QCOMPARE(QString::fromStdString(CleanCommand(command.toStdString())), cleaned);
  }

  void splitFindsProgramAndParameters_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("params");
    QTest::newRow("example") << "C:\\Browser\\browse.exe -nohome "
                             << "C:\\BROWSER\\BROWSE.EXE"
                             << "-NOHOME";
    QTest::newRow("quoted path") << "\"C:\\Program Files\\B\\b.exe\" -new \"\""
                                 << "C:\\PROGRAM FILES\\B\\B.EXE"
                                 << " -NEW \"\"";
    QTest::newRow("no params") << "c:\\b\\b.exe"
                               << "C:\\B\\B.EXE"
                               << "";
    QTest::newRow("last extension wins") << "c:\\x.com\\run.bat go"
                                         << "C:\\X.COM\\RUN.BAT"
                                         << "GO";
    QTest::newRow("no extension") << "browse -nohome"
                                  << "BROWSE"
                                  << "-NOHOME";
    QTest::newRow("no extension quoted") << "\"/opt/my browser\" -x"
                                         << "/OPT/MY BROWSER"
                                         << "-X";
  }
  void splitFindsProgramAndParameters() {
    QFETCH(QString, command);
    QFETCH(QString, program);
    QFETCH(QString, params);
    const TBrowserCommand c = SplitBrowserCommand(command.toStdString());
    QCOMPARE(QString::fromStdString(c.Program), program);
    QCOMPARE(QString::fromStdString(c.Params), params);
  }

  void exampleReachesTheShellAsDescribed() {
    const TBrowserCommand c = SplitBrowserCommand(CleanCommand("C:\\Browser\\browse.exe -nohome %1"));
    const std::string page = "C:\\P\\help\\main.htm";
    QCOMPARE(QString::fromStdString(c.Params + " " + page), QString("-NOHOME C:\\P\\help\\main.htm"));
  }

  void showCommands() {
    QCOMPARE(BrowserShowCommand(gwMaximized), 3);
    QCOMPARE(BrowserShowCommand(gwNormal), 1);
    QCOMPARE(BrowserShowCommand(7), 0);
  }

  void expandExec_data() {
    QTest::addColumn<QString>("exec");
    QTest::addColumn<QStringList>("args");
    const QString t = "/p/help page.htm";
    QTest::newRow("url code") << "firefox %u" << QStringList{"firefox", t};
    QTest::newRow("list code mid") << "browser --new %U --x" << QStringList{"browser", "--new", t, "--x"};
    QTest::newRow("no code appends") << "browser -a" << QStringList{"browser", "-a", t};
    QTest::newRow("dropped codes vanish") << "b %i %c %k %F" << QStringList{"b", t};
    QTest::newRow("percent escape") << "b --rate=50%% %f" << QStringList{"b", "--rate=50%", t};
    QTest::newRow("embedded code") << "b --url=%u" << QStringList{"b", "--url=" + t};
    QTest::newRow("quoted args") << "\"/opt/my app/b\" \"a b\" %u" << QStringList{"/opt/my app/b", "a b", t};
    // moc cannot read raw string literals, hence the escapes.
    QTest::newRow("quoted escapes") << "\"x\\\"y\\\\z\\$\" %u" << QStringList{"x\"y\\z$", t};
    QTest::newRow("empty quoted arg stays") << "b \"\" %u" << QStringList{"b", "", t};
    QTest::newRow("unterminated quote") << "b \"abc %u" << QStringList{};
    QTest::newRow("blank") << "   " << QStringList{};
  }
  void expandExec() {
    QFETCH(QString, exec);
    QFETCH(QStringList, args);
    TArgs expected;
    for (const QString& a : args) expected.push_back(a.toStdString());
    const TArgs got = ExpandExec(exec.toStdString(), "/p/help page.htm");
    QVERIFY2(got == expected, qPrintable(Show(got)));
  }

  void browserVariable() {
    QVERIFY((BrowserVariableCommand("", "u")).empty());
    QVERIFY((BrowserVariableCommand("lynx:w3m", "u") == TArgs{"lynx", "u"}));
    QVERIFY((BrowserVariableCommand("mybrowser --open=%s -q", "u") == TArgs{"mybrowser", "--open=u", "-q"}));
  }

  void environmentDefaultsAndOverrides() {
    std::map<std::string, std::string> env{{"HOME", "/home/u"}};
    auto get = [&env](const char* name) -> const char* {
      auto it = env.find(name);
      return it == env.end() ? nullptr : it->second.c_str();
    };
    TXdgDirs d = XdgDirsFromEnvironment(get);
    QCOMPARE(QString::fromStdString(d.ConfigHome), QString("/home/u/.config"));
    QVERIFY((d.ConfigDirs == TArgs{"/etc/xdg"}));
    QCOMPARE(QString::fromStdString(d.DataHome), QString("/home/u/.local/share"));
    QVERIFY((d.DataDirs == TArgs{"/usr/local/share", "/usr/share"}));
    QVERIFY(d.Desktops.empty());

    env["XDG_CONFIG_HOME"] = "/c";
    env["XDG_CONFIG_DIRS"] = "/d1:relative:/d2";
    env["XDG_DATA_HOME"] = "not/absolute";
    env["XDG_DATA_DIRS"] = "/s";
    env["XDG_CURRENT_DESKTOP"] = "ubuntu:GNOME";
    d = XdgDirsFromEnvironment(get);
    QCOMPARE(QString::fromStdString(d.ConfigHome), QString("/c"));
    QVERIFY((d.ConfigDirs == TArgs{"/d1", "/d2"}));
    QCOMPARE(QString::fromStdString(d.DataHome), QString("/home/u/.local/share"));
    QVERIFY((d.DataDirs == TArgs{"/s"}));
    QVERIFY((d.Desktops == TArgs{"ubuntu", "gnome"}));

    const TArgs files = MimeAppsListFiles(d);
    QCOMPARE(files.size(), size_t(5 * 3));
    QCOMPARE(QString::fromStdString(files[0]), QString("/c/ubuntu-mimeapps.list"));
    QCOMPARE(QString::fromStdString(files[1]), QString("/c/gnome-mimeapps.list"));
    QCOMPARE(QString::fromStdString(files[2]), QString("/c/mimeapps.list"));
    QCOMPARE(QString::fromStdString(files[9]), QString("/home/u/.local/share/applications/ubuntu-mimeapps.list"));
    QCOMPARE(QString::fromStdString(files.back()), QString("/s/applications/mimeapps.list"));
  }

  void userDefaultWinsOverSystemDefault() {
    TXdgHome h;
    h.App("usr/share", "sysbrowser.desktop", "sysbrowser %u");
    h.App("usr/share", "userbrowser.desktop", "userbrowser --new-window %U");
    h.Write("etc/xdg/mimeapps.list", "[Default Applications]\ntext/html=sysbrowser.desktop\n");
    h.Write("config/mimeapps.list", "[Default Applications]\ntext/html=userbrowser.desktop;\n");
    const TArgs cmd = DesktopHandlerCommand("text/html", "/p/main.htm", h.dirs);
    QVERIFY2((cmd == TArgs{"userbrowser", "--new-window", "/p/main.htm"}), qPrintable(Show(cmd)));
  }

  void desktopSpecificListComesFirst() {
    TXdgHome h;
    h.dirs.Desktops = {"kde"};
    h.App("usr/share", "a.desktop", "a %u");
    h.App("usr/share", "b.desktop", "b %u");
    h.Write("config/mimeapps.list", "[Default Applications]\ntext/html=a.desktop\n");
    h.Write("config/kde-mimeapps.list", "[Default Applications]\ntext/html=b.desktop\n");
    QCOMPARE(QString::fromStdString(DefaultApplication("text/html", h.dirs)), QString("b.desktop"));
  }

  void uninstalledDefaultFallsThrough() {
    TXdgHome h;
    h.App("usr/share", "real.desktop", "real %u");
    h.Write("config/mimeapps.list", "[Default Applications]\ntext/html=gone.desktop;real.desktop\n");
    QCOMPARE(QString::fromStdString(DefaultApplication("text/html", h.dirs)), QString("real.desktop"));
    // A hidden entry in the user's folder masks the system's one.
    h.App("local", "real.desktop", "real %u", /*hidden=*/true);
    QCOMPARE(QString::fromStdString(DefaultApplication("text/html", h.dirs)), QString());
  }

  void addedAssociationsMinusRemoved() {
    TXdgHome h;
    h.App("usr/share", "one.desktop", "one");
    h.App("usr/share", "two.desktop", "two");
    h.Write("usr/share/applications/mimeapps.list", "[Added Associations]\ntext/html=one.desktop;two.desktop\n");
    QCOMPARE(QString::fromStdString(DefaultApplication("text/html", h.dirs)), QString("one.desktop"));
    h.Write("config/mimeapps.list", "[Removed Associations]\ntext/html=one.desktop\n");
    QCOMPARE(QString::fromStdString(DefaultApplication("text/html", h.dirs)), QString("two.desktop"));
    QVERIFY((DesktopHandlerCommand("text/html", "x", h.dirs) == TArgs{"two", "x"}));
  }

  void desktopCacheAndSubfolderIds() {
    TXdgHome h;
    h.App("usr/share", "vendor/web.desktop", "web\\sbrowser %u");
    h.Write("usr/share/applications/mimeinfo.cache", "[MIME Cache]\ntext/html=vendor-web.desktop;\n");
    const TArgs cmd = DesktopHandlerCommand("text/html", "p", h.dirs);
    QVERIFY2((cmd == TArgs{"web", "browser", "p"}), qPrintable(Show(cmd)));
  }

  void openCommandFallbacks() {
    TXdgHome h;
    QVERIFY((OpenCommand("text/html", "p", h.dirs, "") == TArgs{"xdg-open", "p"}));
    QVERIFY((OpenCommand("text/html", "p", h.dirs, "w3m") == TArgs{"w3m", "p"}));
    h.App("usr/share", "b.desktop", "b %f");
    h.Write("config/mimeapps.list", "[Default Applications]\ntext/html=b.desktop\n");
    QVERIFY((OpenCommand("text/html", "p", h.dirs, "w3m") == TArgs{"b", "p"}));
  }
};

QTEST_APPLESS_MAIN(BrowserCommandTest)
#include "BrowserCommand_test.moc"
