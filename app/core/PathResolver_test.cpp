#include "app/core/PathResolver.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "testkit/core/TempDir.h"

using namespace proctorium;

namespace {

// The expected paths are written with '/', the separator the resolver puts
// between parts is the platform's own.
std::string Native(std::string path) {
#ifdef _WIN32
  for (char& c : path)
    if (c == '/') c = '\\';
#endif
  return path;
}

TEST(PathResolver, ResolvesAnySpelling) {
  testkit::TTempDir dir;
  std::filesystem::create_directories(dir.Path("help"));
  dir.WriteFile("Tests/results.txt", "r");
  dir.WriteFile("Tests/Blank.dat", "b");
  dir.WriteFile("Proctorium.opt", "o");
  const struct {
    const char* name;
    std::string relative, real;
  } cases[] = {
      {"Tests folder", "Tests\\", "Tests/"},
      {"leading backslash, lower case", "\\tests\\", "Tests/"},
      {"results log", "tests\\results.txt", "Tests/results.txt"},
      {"template", "Tests\\Blank.dat", "Tests/Blank.dat"},
      {"template odd case", "TESTS\\blank.DAT", "Tests/Blank.dat"},
      {"options", "Proctorium.opt", "Proctorium.opt"},
      {"help folder", "help\\", "help/"},
      {"forward slashes", "tests/RESULTS.txt", "Tests/results.txt"},
      {"doubled separators", "\\\\tests\\\\Blank.dat", "Tests/Blank.dat"},
      {"new file keeps its name", "tests\\My New Set.qst", "Tests/My New Set.qst"},
      {"missing folder kept as written", "\\logo.bmp", "logo.bmp"},
  };
  for (const auto& c : cases) EXPECT_EQ(ResolvePath(dir.Folder(), c.relative), dir.Folder() + Native(c.real)) << c.name;

  std::string bare = dir.Folder();
  bare.pop_back();
  EXPECT_EQ(ResolvePath(bare, "tests\\Blank.dat"), dir.Folder() + Native("Tests/Blank.dat")) << "no trailing separator";
}

TEST(PathResolver, ExactSpellingWinsWhenBothExist) {
#ifdef _WIN32
  GTEST_SKIP() << "two names differing in case only cannot both exist here";
#endif
  testkit::TTempDir dir;
  std::filesystem::create_directories(dir.Path("Tests"));
  std::filesystem::create_directories(dir.Path("tests"));
  EXPECT_EQ(ResolvePath(dir.Folder(), "tests\\"), dir.Folder() + "tests/");
  EXPECT_EQ(ResolvePath(dir.Folder(), "Tests\\"), dir.Folder() + "Tests/");
}

TEST(PathResolver, FileNameParts) {
  const struct {
    std::string path, name, folder;
  } cases[] = {
      {"C:\\P\\Tests\\a.qst", "a.qst", "C:\\P\\Tests\\"},
      {"/p/Tests/a.qst", "a.qst", "/p/Tests/"},
      {"C:a.qst", "a.qst", "C:"},
      {"a.qst", "a.qst", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ExtractFileName(c.path), c.name) << c.path;
    EXPECT_EQ(ExtractFilePath(c.path), c.folder) << c.path;
  }
}

}  // namespace
