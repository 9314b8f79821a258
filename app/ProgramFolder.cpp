#include "app/ProgramFolder.h"

#include "app/core/Cp1252.h"
#include "app/core/PathResolver.h"

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

std::string PicturePath(const std::string& storedName) { return ProgramPath("\\tests\\" + Cp1252ToUtf8(storedName)); }

}  // namespace proctorium
