// The browser lookup against a real registry. The cases rewrite the file
// classes of ".htm" and its kin with the system's own reg tool, so they run
// only under Wine, in the throw-away prefix of the cross build, and never
// touch the associations of a real Windows desktop.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "web/core/BrowserCommand.h"
#include "web/core/RegistryLookup.h"
#include "web/core/ShellLaunch.h"

namespace proctorium {
namespace {

bool UnderWine() { return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr; }

// One argument as the child's C runtime splits it again; no value here has
// a backslash before a quote or at its end, so escaping the quotes is enough.
std::string Quote(std::string arg) {
  for (size_t i = 0; (i = arg.find('"', i)) != std::string::npos; i += 2) arg.insert(i, 1, '\\');
  return "\"" + arg + "\"";
}

int Run(const std::string& commandLine) {
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::string line = commandLine;  // CreateProcessA may write into it
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return -1;
  WaitForSingleObject(pi.hProcess, INFINITE);
  DWORD code = 1;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return static_cast<int>(code);
}

void RegDelete(const std::string& key) { Run("reg.exe delete " + Quote("HKCR\\" + key) + " /f"); }

void RegAdd(const std::string& key, const std::string& value) {
  ASSERT_EQ(Run("reg.exe add " + Quote("HKCR\\" + key) + " /ve /d " + Quote(value) + " /f"), 0) << key;
}

struct TCase {
  const char* Name;
  std::vector<std::pair<std::string, std::string>> Entries;  // key below HKCR, its default value
  std::string Command;                                       // cleaned command the lookup finds
  std::string Program;
  std::string Params;
};

void PrintTo(const TCase& c, std::ostream* os) { *os << c.Name; }

class RegistryLookup : public testing::TestWithParam<TCase> {
 protected:
  void SetUp() override {
    if (!UnderWine()) GTEST_SKIP() << "rewrites the HTML file classes; runs only under Wine";
    for (const char* key : {".htm", ".html", ".shtml", ".shtm", "ProcPage", "ProcOther"}) RegDelete(key);
  }
};

TEST_P(RegistryLookup, FindsAndSplitsTheCommand) {
  const TCase& c = GetParam();
  for (const auto& [key, value] : c.Entries) RegAdd(key, value);
  const std::string command = FindRegisteredBrowserCommand();
  EXPECT_EQ(command, c.Command);
  if (c.Command.empty()) return;
  const TBrowserCommand split = SplitBrowserCommand(command);
  EXPECT_EQ(split.Program, c.Program);
  EXPECT_EQ(split.Params, c.Params);
}

const std::string TooLong = "C:\\B\\" + std::string(1100, 'x') + ".exe %1";

INSTANTIATE_TEST_SUITE_P(
    Wine, RegistryLookup,
    testing::Values(
        TCase{"Quoted",
              {{".htm", "ProcPage"},
               {"ProcPage\\shell\\open\\command", "\"C:\\Program Files\\Browse\\browse.exe\" -nohome \"%1\""}},
              "\"C:\\Program Files\\Browse\\browse.exe\" -nohome \"\"",
              "C:\\PROGRAM FILES\\BROWSE\\BROWSE.EXE",
              " -NOHOME \"\""},
        TCase{"Unquoted",
              {{".htm", "ProcPage"}, {"ProcPage\\shell\\open\\command", "C:\\Browser\\browse.exe -nohome %1"}},
              "C:\\Browser\\browse.exe -nohome ",
              "C:\\BROWSER\\BROWSE.EXE",
              "-NOHOME"},
        TCase{"PlaceholdersOnly",
              {{".htm", "ProcPage"}, {"ProcPage\\shell\\open\\command", "C:\\B\\view.com %1 %L"}},
              "C:\\B\\view.com  ",
              "C:\\B\\VIEW.COM",
              ""},
        TCase{"ExtensionsOwnCommand",
              {{".htm", "ProcPage"}, {".htm\\shell\\open\\command", "C:\\Own\\own.exe %1"}},
              "C:\\Own\\own.exe ",
              "C:\\OWN\\OWN.EXE",
              ""},
        TCase{
            "HtmlWhenHtmHasNone",
            {{".htm", "ProcOther"}, {".html", "ProcPage"}, {"ProcPage\\shell\\open\\command", "C:\\Html\\html.exe %1"}},
            "C:\\Html\\html.exe ",
            "C:\\HTML\\HTML.EXE",
            ""},
        TCase{"OverlongValueIsNoCommand",
              {{".htm", "ProcPage"},
               {"ProcPage\\shell\\open\\command", TooLong},
               {".html", "ProcOther"},
               {"ProcOther\\shell\\open\\command", "C:\\Fit\\fit.exe %1"}},
              "C:\\Fit\\fit.exe ",
              "C:\\FIT\\FIT.EXE",
              ""},
        TCase{"NothingRegistered", {}, "", "", ""}),
    [](const testing::TestParamInfo<TCase>& info) { return std::string(info.param.Name); });

TEST(ShellStartProgram, SuccessFollowsTheShell) {
  if (!UnderWine()) GTEST_SKIP() << "starts programs; runs only under Wine";
  char system[MAX_PATH];
  ASSERT_GT(GetSystemDirectoryA(system, MAX_PATH), 0u);
  EXPECT_TRUE(ShellStartProgram(std::string(system) + "\\cmd.exe", "/c exit 0", SW_HIDE, nullptr));
  EXPECT_FALSE(ShellStartProgram("C:\\no such folder\\nothing.exe", "", SW_HIDE, nullptr));
}

}  // namespace
}  // namespace proctorium
