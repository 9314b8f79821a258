#include "base/ProgramFolder.h"

#include "base/core/Cp1252.h"
#include "base/core/PathResolver.h"

namespace proctorium {

namespace {

std::string& Folder() {
  static std::string folder;
  return folder;
}

}  // namespace

void SetProgramFolder(const std::string& folder) { Folder() = WithTrailingSeparator(folder); }

const std::string& ProgramFolder() { return Folder(); }

std::string ProgramPath(const std::string& relative) { return ResolvePath(Folder(), relative); }

std::string PicturePath(const std::string& storedName) {
  // A stored name is a file name only: one that names a folder or climbs
  // out ("..\\..\\secret.bmp") would show a file from outside the Tests
  // folder, so it names no file at all.
  const std::string name = Cp1252ToUtf8(storedName);
  if (name.empty() || name == "." || name == ".." || name.find_first_of("\\/:") != std::string::npos)
    return std::string();
  return ProgramPath("\\tests\\" + name);
}

}  // namespace proctorium
