#include "testkit/core/TempDir.h"

#include "base/core/FileIO.h"

#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

namespace proctorium::testkit {

TTempDir::TTempDir() {
  std::random_device seed;
  std::mt19937_64 random(seed());
  const auto base = std::filesystem::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    auto candidate = base / ("proctorium-test-" + std::to_string(random()));
    if (std::filesystem::create_directory(candidate)) {
      Root_ = candidate;
      return;
    }
  }
  throw std::runtime_error("cannot make a temporary folder");
}

TTempDir::~TTempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(Root_, ignored);
}

// UTF-8 both ways: path::string() would go through the ANSI code page on
// Windows and lose every other character.
std::string TTempDir::Folder() const { return FromFsPath(Root_ / ""); }

std::string TTempDir::Path(const std::string& relative) const { return FromFsPath(Root_ / ToFsPath(relative)); }

void TTempDir::WriteFile(const std::string& relative, const std::string& bytes) const {
  const auto path = Root_ / ToFsPath(relative);
  std::filesystem::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + FromFsPath(path));
}

std::string TTempDir::ReadFile(const std::string& relative) const {
  std::ifstream in(Root_ / ToFsPath(relative), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace proctorium::testkit
