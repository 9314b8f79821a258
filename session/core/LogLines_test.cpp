#include "session/core/LogLines.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace proctorium;

namespace {

std::vector<std::string> All(const TLogLines& lines) {
  std::vector<std::string> out;
  for (std::size_t i = 0; i < lines.Count(); ++i) out.emplace_back(lines.Line(i));
  return out;
}

// The lines as the log holds them; appended lines never join the last one,
// and the longest line follows them.
TEST(LogLines, FindsTheLinesAndAppendsAfterThem) {
  const struct {
    const char* Name;
    std::string Text;
    std::vector<std::string> Lines;
    std::size_t Longest;
  } cases[] = {
      {"empty", "", {}, 0},
      {"entry", "05/12  A.qst\r\n   7 of 9  \r\n\r\n", {"05/12  A.qst", "   7 of 9  ", ""}, 0},
      {"torn last line", "one\r\n   tw", {"one", "   tw"}, 1},
      {"cut between CR and LF", "a\r", {"a"}, 0},
      {"lone CR and LF", "a\rbb\nccc\n\r\n", {"a", "bb", "ccc", ""}, 2},
      {"LF CR is two breaks", "a\n\rb", {"a", "", "b"}, 0},
  };
  for (const auto& c : cases) {
    TLogLines lines;
    lines.Assign(c.Text);
    EXPECT_EQ(All(lines), c.Lines) << c.Name;
    EXPECT_EQ(lines.LongestLine(), c.Longest) << c.Name;
    lines.Append("xxxxxxxxxxxxxxxxxxxx");
    std::vector<std::string> appended = c.Lines;
    appended.emplace_back("xxxxxxxxxxxxxxxxxxxx");
    EXPECT_EQ(All(lines), appended) << c.Name;
    EXPECT_EQ(lines.LongestLine(), c.Lines.size()) << c.Name;
    lines.Clear();
    lines.Append("z");
    EXPECT_EQ(All(lines), std::vector<std::string>{"z"}) << c.Name;
  }
}

}  // namespace
