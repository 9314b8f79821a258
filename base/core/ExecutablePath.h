#pragma once
// Where the running program lies: the folder every program file is found
// in, whatever the current directory.

#include <string>

namespace proctorium {

// Full path of the running executable, UTF-8; empty if the system will not
// tell.
std::string ExecutablePath();

// The folder of an executable's path: the path cut after its last '\', '/'
// or drive colon, so it keeps its trailing separator ("C:\P\x.exe" gives
// "C:\P\", "C:x.exe" gives "C:"). Empty for a bare file name.
std::string FolderOfExecutable(const std::string& executablePath);

}  // namespace proctorium
