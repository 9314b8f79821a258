#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include "app/core/FileIO.h"
#include "app/core/PathResolver.h"

using namespace proctorium;

class PathResolverTest : public QObject {
  Q_OBJECT
  QTemporaryDir dir;
  std::string Root() { return dir.path().toStdString() + "/"; }

 private slots:
  void initTestCase() {
    QDir(dir.path()).mkpath("Tests");
    QDir(dir.path()).mkpath("help");
    WriteFileAtomic(Root() + "Tests/results.txt", "r");
    WriteFileAtomic(Root() + "Tests/Blank.dat", "b");
    WriteFileAtomic(Root() + "Proctorium.opt", "o");
  }

  void resolvesAnySpelling_data() {
    QTest::addColumn<QString>("relative");
    QTest::addColumn<QString>("real");
    QTest::newRow("Tests folder") << "Tests\\"
                                  << "Tests/";
    QTest::newRow("leading backslash, lower case") << "\\tests\\"
                                                   << "Tests/";
    QTest::newRow("results log") << "tests\\results.txt"
                                 << "Tests/results.txt";
    QTest::newRow("template") << "Tests\\Blank.dat"
                              << "Tests/Blank.dat";
    QTest::newRow("template odd case") << "TESTS\\blank.DAT"
                                       << "Tests/Blank.dat";
    QTest::newRow("options") << "Proctorium.opt"
                             << "Proctorium.opt";
    QTest::newRow("help folder") << "help\\"
                                 << "help/";
    QTest::newRow("forward slashes") << "tests/RESULTS.txt"
                                     << "Tests/results.txt";
    QTest::newRow("doubled separators") << "\\\\tests\\\\Blank.dat"
                                        << "Tests/Blank.dat";
    QTest::newRow("new file keeps its name") << "tests\\My New Set.qst"
                                             << "Tests/My New Set.qst";
    QTest::newRow("missing folder kept as written") << "\\logo.bmp"
                                                    << "logo.bmp";
  }
  void resolvesAnySpelling() {
    QFETCH(QString, relative);
    QFETCH(QString, real);
    QCOMPARE(QString::fromStdString(ResolvePath(Root(), relative.toStdString())),
             QString::fromStdString(Root()) + real);
  }

  void exactSpellingWinsWhenBothExist() {
    QTemporaryDir d;
    QDir(d.path()).mkpath("Tests");
    QDir(d.path()).mkpath("tests");
    const std::string root = d.path().toStdString() + "/";
    QCOMPARE(ResolvePath(root, "tests\\"), root + "tests/");
    QCOMPARE(ResolvePath(root, "Tests\\"), root + "Tests/");
  }

  void folderWithoutTrailingSeparator() {
    QCOMPARE(ResolvePath(dir.path().toStdString(), "tests\\Blank.dat"), Root() + "Tests/Blank.dat");
  }

  void fileNameParts_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("folder");
    QTest::newRow("windows") << "C:\\P\\Tests\\a.qst"
                             << "a.qst"
                             << "C:\\P\\Tests\\";
    QTest::newRow("posix") << "/p/Tests/a.qst"
                           << "a.qst"
                           << "/p/Tests/";
    QTest::newRow("drive only") << "C:a.qst"
                                << "a.qst"
                                << "C:";
    QTest::newRow("bare") << "a.qst"
                          << "a.qst"
                          << "";
  }
  void fileNameParts() {
    QFETCH(QString, path);
    QFETCH(QString, name);
    QFETCH(QString, folder);
    QCOMPARE(QString::fromStdString(ExtractFileName(path.toStdString())), name);
    QCOMPARE(QString::fromStdString(ExtractFilePath(path.toStdString())), folder);
  }
};

QTEST_APPLESS_MAIN(PathResolverTest)
#include "PathResolver_test.moc"
