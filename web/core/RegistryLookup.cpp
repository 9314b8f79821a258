#include "web/core/RegistryLookup.h"

#ifdef _WIN32

#include <windows.h>

#include <optional>

#include "web/core/BrowserCommand.h"

namespace proctorium {

namespace {

// Reading is all the lookup does, and a user without write rights to the
// machine's file classes must still find the browser.
constexpr REGSAM Access = KEY_READ;

// The value's text is what stands before its first zero byte; none when
// the key has no default value. A value that does not fit the buffer is
// empty: a cut command would start the wrong program.
std::optional<std::string> ReadDefaultValue(HKEY key) {
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExA(key, nullptr, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return std::nullopt;
  char buffer[1025] = {};
  if (size > sizeof buffer - 1) return std::string();
  size = sizeof buffer - 1;
  if (RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS)
    return std::string();
  return std::string(buffer);
}

std::string ReadCommandKey(HKEY parent, const std::string& subKey) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(parent, subKey.c_str(), 0, Access, &key) != ERROR_SUCCESS) return std::string();
  const std::string command = ReadDefaultValue(key).value_or(std::string());
  RegCloseKey(key);
  return command;
}

}  // namespace

std::string FindRegisteredBrowserCommand() {
  for (const char* extension : {".HTM", ".HTML", ".SHTML", ".SHTM"}) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, extension, 0, Access, &key) != ERROR_SUCCESS) continue;
    std::string command;
    // An extension without a default value has no usable command at all.
    if (const std::optional<std::string> typeName = ReadDefaultValue(key)) {
      if (!typeName->empty()) command = ReadCommandKey(HKEY_CLASSES_ROOT, *typeName + "\\shell\\open\\command");
      if (command.empty()) command = ReadCommandKey(key, "shell\\open\\command");
    }
    RegCloseKey(key);
    if (!command.empty()) return CleanCommand(command);
  }
  return std::string();
}

}  // namespace proctorium

#endif
