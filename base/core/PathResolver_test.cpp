#include "base/core/PathResolver.h"

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
  dir.WriteFile("Tests/results.txt", "r");
  dir.WriteFile("Tests/Blank.dat", "b");
  const struct {
    const char* name;
    std::string relative, real;
  } cases[] = {
      {"leading backslash, lower case", "\\tests\\", "Tests/"},
      {"template odd case", "TESTS\\blank.DAT", "Tests/Blank.dat"},
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

}  // namespace
