#pragma once
// The program folder: every file the program reads or writes lies below the
// executable's folder, so every path is built here.

#include <string>

namespace proctorium {

// Set once, by the start window when it is made.
void SetProgramFolder(const std::string& folder);
// The executable's folder, ending with a separator.
const std::string& ProgramFolder();
// ProgramFolder + a relative part written Windows-style ("Tests\x.qst",
// "\tests\"), resolved to the real file on this platform.
std::string ProgramPath(const std::string& relative);
// The real path of a picture named in a set: stored names are
// Windows-1252, file names on disk are UTF-8. Empty for a name that is
// not a plain file name, so nothing outside the Tests folder is shown.
std::string PicturePath(const std::string& storedName);

}  // namespace proctorium
