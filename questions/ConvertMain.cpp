// proctorium-convert: the scripting path between question sets and the
// formats of other systems. A conversion from text to text runs here
// without the toolkit, whose libraries take several times longer to load
// than such a conversion takes; anything else (PDF, pictures, wrong use)
// is handed, arguments and all, to proctorium-convert-full beside it.
#include <iostream>
#include <string>
#include <vector>

#include "base/core/ExecutablePath.h"
#include "questions/core/Conversion.h"

#ifdef _WIN32
// windows.h first: shellapi.h builds on its types.
#include <windows.h>

#include <shellapi.h>
#else
#include <unistd.h>
#endif

int main(int argc, char** argv) {
  using namespace proctorium;
  const std::string folder = FolderOfExecutable(ExecutablePath());
#ifdef _WIN32
  // The arguments as the system has them, in UTF-16, made UTF-8 here.
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> args;
  for (int i = 1; i < count; ++i) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
    std::string a(static_cast<size_t>(n > 0 ? n - 1 : 0), '\0');
    if (n > 1) WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, a.data(), n, nullptr, nullptr);
    args.push_back(a);
  }
  if (IsTextConversion(args)) return RunConversion(args, folder, {}, std::cerr);
  const std::wstring full = [&] {
    std::wstring path(MAX_PATH * 8, L'\0');
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    path.resize(n);
    return path.substr(0, path.find_last_of(L"\\/") + 1) + L"proctorium-convert-full.exe";
  }();
  // The full converter gets the arguments exactly as this program got them:
  // the rest of our own command line, untouched. Quoting each argument again
  // would break one holding a quote or ending in a backslash.
  const wchar_t* rest = GetCommandLineW();
  bool quoted = false;
  for (; *rest && (quoted || (*rest != L' ' && *rest != L'\t')); ++rest)
    if (*rest == L'"') quoted = !quoted;
  std::wstring line = L"\"" + full + L"\"" + rest;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (CreateProcessW(full.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return static_cast<int>(code);
  }
  (void)argc;
  (void)argv;
#else
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (IsTextConversion(args)) return RunConversion(args, folder, {}, std::cerr);
  const std::string full = folder + "proctorium-convert-full";
  execv(full.c_str(), argv);
#endif
  std::cerr << "proctorium-convert: cannot start proctorium-convert-full beside it\n";
  return 1;
}
