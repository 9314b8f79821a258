#pragma once
// Starting a program through the Windows shell, without any GUI toolkit.

#ifdef _WIN32

#include <string>

namespace proctorium {

// Starts program with params (ANSI code page) through ShellExecuteA with no
// verb and no working folder, owned by the window ownerWindow (an HWND, or
// null). True when the shell reports success (a result above 32).
bool ShellStartProgram(const std::string& program, const std::string& params, int showCommand, void* ownerWindow);

}  // namespace proctorium

#endif
