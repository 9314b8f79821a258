#pragma once
// A throw-away folder for a core test, removed with everything in it.

#include <filesystem>
#include <string>

namespace proctorium::testkit {

class TTempDir {
 public:
  TTempDir();
  ~TTempDir();
  TTempDir(const TTempDir&) = delete;
  TTempDir& operator=(const TTempDir&) = delete;

  // The folder, ending with a separator.
  std::string Folder() const;
  // Real path of a file below the folder ("Tests/x.qst").
  std::string Path(const std::string& relative) const;
  // Writes bytes to a file below the folder, making its folders first.
  void WriteFile(const std::string& relative, const std::string& bytes) const;
  // The whole file's bytes; empty when it does not exist.
  std::string ReadFile(const std::string& relative) const;

 private:
  std::filesystem::path Root_;
};

}  // namespace proctorium::testkit
