#include "base/core/ExecutablePath.h"

#include <gtest/gtest.h>

#include "base/core/FileIO.h"

namespace proctorium {
namespace {

TEST(FolderOfExecutable, CutsAfterTheLastSeparator) {
  struct TCase {
    std::string Path, Folder;
  };
  for (const TCase& c : {TCase{"C:\\Program Files\\Proctorium\\proctorium.exe", "C:\\Program Files\\Proctorium\\"},
                         TCase{"\\\\server\\share\\P\\p.exe", "\\\\server\\share\\P\\"},
                         TCase{"C:\\mixed/slashes\\p.exe", "C:\\mixed/slashes\\"}, TCase{"proctorium", ""}})
    EXPECT_EQ(FolderOfExecutable(c.Path), c.Folder) << c.Path;
}

TEST(ExecutablePath, NamesThisTestProgram) {
  const std::string path = ExecutablePath();
  ASSERT_FALSE(path.empty());
  EXPECT_TRUE(FileExists(path)) << path;
  const std::string folder = FolderOfExecutable(path);
  ASSERT_FALSE(folder.empty());
#ifdef _WIN32
  EXPECT_EQ(folder.back(), '\\');
  EXPECT_NE(path.find("executablepath_test"), std::string::npos) << path;
#else
  EXPECT_EQ(folder.back(), '/');
#endif
}

}  // namespace
}  // namespace proctorium
