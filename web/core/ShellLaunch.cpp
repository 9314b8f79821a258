#include "web/core/ShellLaunch.h"

#ifdef _WIN32

#include <windows.h>

#include <shellapi.h>

namespace proctorium {

bool ShellStartProgram(const std::string& program, const std::string& params, int showCommand, void* ownerWindow) {
  const auto result = reinterpret_cast<INT_PTR>(
      ShellExecuteA(static_cast<HWND>(ownerWindow), nullptr, program.c_str(), params.c_str(), nullptr, showCommand));
  return result > 32;
}

}  // namespace proctorium

#endif
