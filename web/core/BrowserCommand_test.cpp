#include "web/core/BrowserCommand.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace proctorium;

namespace {

// The registry's command goes through the clean-up first, as the launcher does.
TEST(BrowserCommand, CleanAndSplit) {
  const struct {
    std::string command, cleaned, program, params;
  } cases[] = {
      {"C:\\Browser\\browse.exe -nohome %1", "C:\\Browser\\browse.exe -nohome ", "C:\\BROWSER\\BROWSE.EXE", "-NOHOME"},
      {"\"C:\\Program Files\\B\\b.exe\" -new \"%1\"", "\"C:\\Program Files\\B\\b.exe\" -new \"\"",
       "C:\\PROGRAM FILES\\B\\B.EXE", " -NEW \"\""},
      {"c:\\b\\b.exe %L -x %", "c:\\b\\b.exe  -x %", "C:\\B\\B.EXE", "-X %"},          // trailing percent stays
      {"c:\\x.com\\run.bat go", "c:\\x.com\\run.bat go", "C:\\X.COM\\RUN.BAT", "GO"},  // last extension wins
      {"browse -nohome", "browse -nohome", "BROWSE", "-NOHOME"},
      {"\"/opt/my browser\" -x", "\"/opt/my browser\" -x", "/OPT/MY BROWSER", "-X"},
      {"%", "", "", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CleanCommand(c.command), c.cleaned) << c.command;
    const TBrowserCommand split = SplitBrowserCommand(CleanCommand(c.command));
    EXPECT_EQ(split.Program + "|" + split.Params, c.program + "|" + c.params) << c.command;
  }
}

}  // namespace
