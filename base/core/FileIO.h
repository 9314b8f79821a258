#pragma once
// Whole-file reads and crash-safe whole-file writes.

#include <cstdint>
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

enum class TReadResult { Ok, Missing, NotRegular, TooLarge, Failed };

// Reads a whole file only when it is a regular file (a link to one counts)
// of at most maxBytes: a device, a pipe or a folder in its place is never
// opened, and a file that is or grows too large is never read to the end.
// On Failed, error holds the system's reason.
TReadResult ReadRegularFile(const std::string& fileName, std::uintmax_t maxBytes, std::string& bytes,
                            std::string* error = nullptr);

// Writes bytes to a temporary file in the target's folder, flushes it to
// disk and renames it over the target. On any failure the temporary file
// is removed, the target is left as it was, and EFileError
// "Cannot create file <fileName>: <the system's reason>" is thrown.
void WriteFileAtomic(const std::string& fileName, const std::string& bytes);

// The two halves of WriteFileAtomic, for several files that must appear
// together: each is written to disk under a temporary name beside it
// (returned), and renamed into place only once all of them are. A failed
// write removes its temporary file and throws the same EFileError.
std::string WriteTemporaryBeside(const std::string& fileName, const std::string& bytes);
void RenameTemporary(const std::string& temporary, const std::string& fileName);
// A fresh temporary name beside fileName, for a writer that opens files
// itself (a printer driver writing a PDF): it writes there, and
// RenameTemporary puts the file in place once it is complete.
std::string TemporaryNameBeside(const std::string& fileName);

// WriteFileAtomic for a file the user chose to write anywhere (an export, a
// printout, a converted set): temporary files that a killed write left in
// that folder are removed first, by the start-up tidy's rule.
void WriteOutputFile(const std::string& fileName, const std::string& bytes);

// Copies source to destination byte for byte in 8192-byte steps, through a
// temporary file renamed over the destination only when every byte was read
// and written: a failed copy leaves no partial file and the old destination
// intact. Throws EFileError: "Cannot open file <source>", "Cannot read file
// <source>" or "Cannot create file <destination>", each followed by ": " and
// the system's reason.
void CopyFileSafely(const std::string& source, const std::string& destination);

// Every temporary file the program writes is named "~Proctorium-" + 16 hex
// digits + ".tmp" in the folder of the file it will replace: short enough
// for any final name the folder allows, and recognisable after a crash.
bool IsTemporaryFileName(const std::string& name);
// Removes the program's temporary files in folder that are older than
// maxAgeSeconds and that no running instance is still writing. Returns how
// many were removed; errors are ignored (another seat may be tidying too).
int RemoveStaleTemporaryFiles(const std::string& folder, int maxAgeSeconds);
constexpr int StaleTemporaryFileAgeSeconds = 5 * 60;

bool FileExists(const std::string& fileName);

// The system's text for an errno value ("No space left on device").
std::string SystemReason(int error);

#ifndef _WIN32
// An exclusive lock on the whole open file, not waited for. Where the system
// has them it is an open-file-description lock: unlike a classic record lock
// it is not dropped when this process closes some other descriptor of the
// same file (as appending and reading do), and unlike flock it reaches the
// server on network file systems. On false, error holds the errno.
bool TryLockWholeFile(int fd, int& error);
#endif

// Paths are UTF-8 strings in the program; these cross into std::filesystem.
std::filesystem::path ToFsPath(const std::string& utf8);
std::string FromFsPath(const std::filesystem::path& path);

}  // namespace proctorium
