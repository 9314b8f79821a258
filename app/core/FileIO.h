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

// Copies source to destination byte for byte in 8192-byte steps, through a
// temporary file renamed over the destination only when every byte was read
// and written: a failed copy leaves no partial file and the old destination
// intact. Throws EFileError: "Cannot open file <source>", "Cannot read file
// <source>" or "Cannot create file <destination>".
void CopyFileSafely(const std::string& source, const std::string& destination);

bool FileExists(const std::string& fileName);

// Paths are UTF-8 strings in the program; these cross into std::filesystem.
std::filesystem::path ToFsPath(const std::string& utf8);
std::string FromFsPath(const std::filesystem::path& path);

}  // namespace proctorium
