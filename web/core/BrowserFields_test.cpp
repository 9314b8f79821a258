#include <gtest/gtest.h>

#include "web/core/BrowserCommand.h"

using namespace proctorium;

using TArgs = std::vector<std::string>;

TEST(BrowserFields, DesktopEntryCodesExpand) {
  const TDesktopEntryInfo entry{"Web Browser", "browser-icon", "/usr/share/applications/browser.desktop"};
  const TDesktopEntryInfo bare{"Web Browser", "", "/a.desktop"};
  const struct {
    const char* Exec;
    TDesktopEntryInfo Entry;
    TArgs Expected;
  } cases[] = {
      {"browser %i %u", entry, {"browser", "--icon", "browser-icon", "page"}},
      {"browser %i %u", bare, {"browser", "page"}},  // no icon: no arguments at all
      {"browser --name=%c %u", entry, {"browser", "--name=Web Browser", "page"}},
      {"browser %c %U", entry, {"browser", "Web Browser", "page"}},
      {"browser --from %k %f", entry, {"browser", "--from", "/usr/share/applications/browser.desktop", "page"}},
      {"browser x%i %u", entry, {"browser", "x", "page"}},  // not standing alone: dropped
      {"browser %d %u", entry, {"browser", "page"}},        // deprecated codes vanish
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Exec);
    EXPECT_EQ(ExpandExec(c.Exec, "page", c.Entry), c.Expected);
  }
}

TEST(BrowserFields, EveryBrowserEntryIsACandidateInOrder) {
  const auto commands = OpenCommands("text/html", "p", TXdgDirs(), "nosuch:w3m --open=%s -q::lynx");
  const std::vector<TArgs> expected{{"nosuch", "p"}, {"w3m", "--open=p", "-q"}, {"lynx", "p"}, {"xdg-open", "p"}};
  EXPECT_EQ(commands, expected);
  EXPECT_EQ(OpenCommands("text/html", "p", TXdgDirs(), ""), (std::vector<TArgs>{{"xdg-open", "p"}}));
}
