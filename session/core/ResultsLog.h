#pragma once
// Appending to a log that several running copies of the program add to.

#include <string>

namespace proctorium {

// Appends bytes at the end of the file as it is on disk now, creating it if
// missing; a last line left unfinished by a crash is ended first, so the
// new lines never join it. Flushed to disk before returning. The caller
// holds the file's TFileLock. Throws EFileError.
void AppendToLog(const std::string& path, const std::string& bytes);

}  // namespace proctorium
