#pragma once
// Every file of the program is named as the program folder followed by a
// relative part written Windows-style: backslashes, any letter case, and
// sometimes a leading separator ("Tests\", "\tests\", "tests\results.txt").
// ResolvePath turns such a name into a real path on this platform.

#include <string>

namespace proctorium {

// The folder with a trailing separator of this platform.
std::string WithTrailingSeparator(const std::string& folder);

// Joins folder and relative, treating '\' and '/' alike and dropping empty
// parts. Each part that names an existing entry in a case-insensitive way
// (ASCII letters) is replaced by that entry's real name; an exact match
// wins over other spellings. Parts that do not exist yet are kept as
// written, so a file about to be created gets the name it was given.
// A trailing separator in relative is kept.
std::string ResolvePath(const std::string& folder, const std::string& relative);

// The part after the last separator ('\', '/' or a drive colon).
std::string ExtractFileName(const std::string& path);
// Everything up to and including the last separator.
std::string ExtractFilePath(const std::string& path);

}  // namespace proctorium
