#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <map>

#include "web/core/BrowserCommand.h"

using namespace proctorium;

namespace {

QStringList Args(const std::vector<std::string>& args) {
  QStringList l;
  for (const auto& a : args) l << QString::fromStdString(a);
  return l;
}

// A fake home with XDG folders inside a temporary directory.
class TXdgHome {
 public:
  TXdgHome() {
    dirs.ConfigHome = Path("config");
    dirs.ConfigDirs = {Path("etc/xdg")};
    dirs.DataHome = Path("local");
    dirs.DataDirs = {Path("usr/local/share"), Path("usr/share")};
    App("usr/share", "a.desktop", "a %u");
    App("usr/share", "b.desktop", "b --new-window %U");
  }
  std::string Path(const std::string& rel) const { return dir.path().toStdString() + "/" + rel; }
  void Write(const std::string& rel, const std::string& text) {
    const QString p = QString::fromStdString(Path(rel));
    QDir().mkpath(QFileInfo(p).path());
    QFile f(p);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text.data(), qint64(text.size()));
  }
  void App(const std::string& dataDir, const std::string& file, const std::string& exec) {
    Write(dataDir + "/applications/" + file, "[Desktop Entry]\nType=Application\nName=X\nExec=" + exec + "\n");
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
    QTest::newRow("example") << QString("C:\\Browser\\browse.exe -nohome %1")
                             << QString("C:\\Browser\\browse.exe -nohome ");
    QTest::newRow("several") << QString("b.exe %L -x \"%1\"") << QString("b.exe  -x \"\"");
    QTest::newRow("trailing percent stays") << QString("b.exe -x %") << QString("b.exe -x %");
    QTest::newRow("double percent") << QString("a%%b") << QString("ab");
    QTest::newRow("lone percent") << QString("%") << QString();
    QTest::newRow("placeholder only") << QString("%1") << QString();
  }
  void cleanCommandRemovesPlaceholders() {
    QFETCH(QString, command);
    QFETCH(QString, cleaned);
    QCOMPARE(QString::fromStdString(CleanCommand(command.toStdString())), cleaned);
  }

  // The registry's command goes through the clean-up first, as the launcher does.
  void splitFindsProgramAndParameters_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("params");
    QTest::newRow("example") << QString("C:\\Browser\\browse.exe -nohome %1") << QString("C:\\BROWSER\\BROWSE.EXE")
                             << QString("-NOHOME");
    QTest::newRow("quoted path") << QString("\"C:\\Program Files\\B\\b.exe\" -new \"%1\"")
                                 << QString("C:\\PROGRAM FILES\\B\\B.EXE") << QString(" -NEW \"\"");
    QTest::newRow("no params") << QString("c:\\b\\b.exe") << QString("C:\\B\\B.EXE") << QString();
    QTest::newRow("last extension wins") << QString("c:\\x.com\\run.bat go") << QString("C:\\X.COM\\RUN.BAT")
                                         << QString("GO");
    QTest::newRow("no extension") << QString("browse -nohome") << QString("BROWSE") << QString("-NOHOME");
    QTest::newRow("no extension quoted") << QString("\"/opt/my browser\" -x") << QString("/OPT/MY BROWSER")
                                         << QString("-X");
  }
  void splitFindsProgramAndParameters() {
    QFETCH(QString, command);
    QFETCH(QString, program);
    QFETCH(QString, params);
    const TBrowserCommand c = SplitBrowserCommand(CleanCommand(command.toStdString()));
    QCOMPARE(QString::fromStdString(c.Program), program);
    QCOMPARE(QString::fromStdString(c.Params), params);
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
    QCOMPARE(Args(ExpandExec(exec.toStdString(), "/p/help page.htm")), args);
  }

  void browserVariable() {
    QVERIFY((BrowserVariableCommand("", "u")).empty());
    QCOMPARE(Args(BrowserVariableCommand("lynx:w3m", "u")), QStringList({"lynx", "u"}));
    QCOMPARE(Args(BrowserVariableCommand("mybrowser --open=%s -q", "u")), QStringList({"mybrowser", "--open=u", "-q"}));
  }

  void environmentDefaultsAndOverrides() {
    std::map<std::string, std::string> env{{"HOME", "/home/u"}};
    auto get = [&env](const char* name) -> const char* {
      auto it = env.find(name);
      return it == env.end() ? nullptr : it->second.c_str();
    };
    // Config home, config dirs, data home, data dirs, desktops.
    auto dirs = [&get] {
      const TXdgDirs d = XdgDirsFromEnvironment(get);
      return QStringList{QString::fromStdString(d.ConfigHome), Args(d.ConfigDirs).join(':'),
                         QString::fromStdString(d.DataHome), Args(d.DataDirs).join(':'), Args(d.Desktops).join(':')};
    };
    QCOMPARE(dirs(),
             QStringList({"/home/u/.config", "/etc/xdg", "/home/u/.local/share", "/usr/local/share:/usr/share", ""}));
    env["XDG_CONFIG_HOME"] = "/c";
    env["XDG_CONFIG_DIRS"] = "/d1:relative:/d2";
    env["XDG_DATA_HOME"] = "not/absolute";
    env["XDG_DATA_DIRS"] = "/s";
    env["XDG_CURRENT_DESKTOP"] = "ubuntu:GNOME";
    QCOMPARE(dirs(), QStringList({"/c", "/d1:/d2", "/home/u/.local/share", "/s", "ubuntu:gnome"}));

    const QStringList files = Args(MimeAppsListFiles(XdgDirsFromEnvironment(get)));
    QCOMPARE(files.size(), 5 * 3);
    QCOMPARE(files.mid(0, 3), QStringList({"/c/ubuntu-mimeapps.list", "/c/gnome-mimeapps.list", "/c/mimeapps.list"}));
    QCOMPARE(files[9], QString("/home/u/.local/share/applications/ubuntu-mimeapps.list"));
    QCOMPARE(files.back(), QString("/s/applications/mimeapps.list"));
  }

  // Every case has a.desktop ("a %u") and b.desktop ("b --new-window %U")
  // installed system-wide; files are "relative path|contents".
  void desktopHandler_data() {
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QStringList>("command");
    const QString def = "|[Default Applications]\ntext/html=";
    const QStringList b{"b", "--new-window", "p"};
    QTest::newRow("user list before system list")
        << QStringList{"etc/xdg/mimeapps.list" + def + "a.desktop", "config/mimeapps.list" + def + "b.desktop;"}
        << "b.desktop" << b;
    QTest::newRow("desktop-specific list first")
        << QStringList{"config/mimeapps.list" + def + "a.desktop", "config/kde-mimeapps.list" + def + "b.desktop"}
        << "b.desktop" << b;
    QTest::newRow("uninstalled default skipped")
        << QStringList{"config/mimeapps.list" + def + "gone.desktop;a.desktop"} << "a.desktop" << QStringList{"a", "p"};
    // A hidden entry in the user's folder masks the system's one.
    QTest::newRow("hidden entry") << QStringList{"config/mimeapps.list" + def + "a.desktop",
                                                 "local/applications/a.desktop|[Desktop Entry]\nHidden=true\n"}
                                  << QString() << QStringList();
    const QString added = "usr/share/applications/mimeapps.list|[Added Associations]\ntext/html=a.desktop;b.desktop\n";
    QTest::newRow("added associations") << QStringList{added} << "a.desktop" << QStringList{"a", "p"};
    QTest::newRow("added minus removed")
        << QStringList{added, "config/mimeapps.list|[Removed Associations]\ntext/html=a.desktop\n"} << "b.desktop" << b;
    QTest::newRow("cache and subfolder id")
        << QStringList{"usr/share/applications/vendor/web.desktop|[Desktop Entry]\nType=Application\nExec=web\\sbrowser %u",
                       "usr/share/applications/mimeinfo.cache|[MIME Cache]\ntext/html=vendor-web.desktop;\n"}
        << "vendor-web.desktop" << QStringList{"web", "browser", "p"};
  }
  void desktopHandler() {
    QFETCH(QStringList, files);
    QFETCH(QString, chosen);
    QFETCH(QStringList, command);
    TXdgHome h;
    h.dirs.Desktops = {"kde"};
    for (const QString& f : files) h.Write(f.section('|', 0, 0).toStdString(), f.section('|', 1).toStdString());
    QCOMPARE(QString::fromStdString(DefaultApplication("text/html", h.dirs)), chosen);
    QCOMPARE(Args(DesktopHandlerCommand("text/html", "p", h.dirs)), command);
  }

  void openCommandFallbacks() {
    TXdgHome h;
    QCOMPARE(Args(OpenCommand("text/html", "p", h.dirs, "")), QStringList({"xdg-open", "p"}));
    QCOMPARE(Args(OpenCommand("text/html", "p", h.dirs, "w3m")), QStringList({"w3m", "p"}));
    h.Write("config/mimeapps.list", "[Default Applications]\ntext/html=a.desktop\n");
    QCOMPARE(Args(OpenCommand("text/html", "p", h.dirs, "w3m")), QStringList({"a", "p"}));
  }
};

QTEST_APPLESS_MAIN(BrowserCommandTest)
#include "BrowserCommand_test.moc"
