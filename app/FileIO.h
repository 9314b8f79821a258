#pragma once
// Whole-file reads and crash-safe whole-file writes.

#include <filesystem>
#include <stdexcept>
#include <string>

namespace proctorium {

// A file that could not be read or written; what() is the user's message.
class EFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Reads a whole file; false when it cannot be opened or read.
bool ReadWholeFile(const std::string& fileName, std::string& bytes);

// Writes bytes to a temporary file in the target's folder, flushes it to
// disk and renames it over the target. On any failure the temporary file
// is removed, the target is left as it was, and EFileError
// "Cannot create file <fileName>" is thrown.
void WriteFileAtomic(const std::string& fileName, const std::string& bytes);

bool FileExists(const std::string& fileName);

// Paths are UTF-8 strings in the program; these cross into std::filesystem.
std::filesystem::path ToFsPath(const std::string& utf8);
std::string FromFsPath(const std::filesystem::path& path);

}  // namespace proctorium
