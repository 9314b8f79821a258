#pragma once
// The results log: plain Windows-1252 text, three CR LF lines per saved
// test, shared by every seat that runs from the same program folder. It is
// only ever added to at its end as it is on disk now, or emptied; both
// under a TFileLock on the log that the caller holds.

#include <string>
#include <vector>

namespace proctorium {

// Appends bytes at the end of the file (created if missing) and flushes
// them to disk. A last line without its line break (from a crash or a full
// disk) is ended first, so the new entry never joins it. A write that fails
// part-way is cut off again, leaving the file as it was. Throws EFileError
// "Cannot create file <path>: <reason>".
void AppendToLog(const std::string& path, const std::string& bytes);

// The whole log as stored; empty when there is none. Throws EFileError when
// it exists but cannot be read, or is not a regular file.
std::string ReadLog(const std::string& path);

// Empties the log. The file stays (empty), so a seat that waits for the
// lock meanwhile appends to the same file the lock is on.
void ClearLog(const std::string& path);

// A line as the log can hold it: every control character (below blank, and
// DEL) becomes '?', so a name with a line break cannot forge a line.
std::string SanitizeLogLine(std::string line);

// The lines, each sanitised and ended by CR LF.
std::string LogLinesBytes(const std::vector<std::string>& lines);

// Throws EFileError "Cannot open file <path>: ..." when the log is a
// symbolic link or something other than a regular file. A log is never
// read, written or emptied through a link: it would reach whatever file the
// link names. A missing log is fine. The functions above check it.
void RefuseLinkedLog(const std::string& path);

// Largest log ReadLog reads: a busy room reaches some tens of megabytes in
// years; anything far beyond that is not a results log.
constexpr unsigned long long MaxLogBytes = 1ull << 30;

}  // namespace proctorium
