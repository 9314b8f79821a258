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

TEST(LogLines, FindsTheLinesAsTheLogHoldsThem) {
  const struct {
    const char* Name;
    std::string Text;
    std::vector<std::string> Lines;
    std::size_t Longest;
  } cases[] = {
      {"empty", "", {}, 0},
      {"one break only", "\r\n", {""}, 0},
      {"entry", "05/12  A.qst\r\n   7 of 9  \r\n\r\n", {"05/12  A.qst", "   7 of 9  ", ""}, 0},
      {"torn last line", "one\r\n   tw", {"one", "   tw"}, 1},
      {"cut between CR and LF", "a\r", {"a"}, 0},
      {"lone CR and LF", "a\rbb\nccc\n\r\n", {"a", "bb", "ccc", ""}, 2},
      {"LF CR is two breaks", "a\n\rb", {"a", "", "b"}, 0},
      {"code page bytes kept", "Caf\xe9\r\n\x80\r\n", {"Caf\xe9", "\x80"}, 0},
      {"first longest wins ties", "ab\r\ncd\r\nefg\r\nhij", {"ab", "cd", "efg", "hij"}, 2},
  };
  for (const auto& c : cases) {
    TLogLines lines;
    lines.Assign("stale\r\ntext\r\n");  // what a reload replaces
    lines.Assign(c.Text);
    EXPECT_EQ(All(lines), c.Lines) << c.Name;
    EXPECT_EQ(lines.Empty(), c.Lines.empty()) << c.Name;
    EXPECT_EQ(lines.LongestLine(), c.Longest) << c.Name;
  }
}

// Appended lines never join the last one, and the longest line follows them.
TEST(LogLines, AppendsAndClear) {
  const struct {
    std::string Text;
    std::vector<std::string> Lines;
    std::size_t Longest;
  } cases[] = {
      {"", {"xxxxxx", ""}, 0},
      {"one\r\n", {"one", "xxxxxx", ""}, 1},
      {"one\r\n   tw", {"one", "   tw", "xxxxxx", ""}, 2},
      {"abcdefg\r", {"abcdefg", "xxxxxx", ""}, 0},
  };
  for (const auto& c : cases) {
    TLogLines lines;
    lines.Assign(c.Text);
    lines.Append("xxxxxx");
    lines.Append("");
    EXPECT_EQ(All(lines), c.Lines) << c.Text;
    EXPECT_EQ(lines.LongestLine(), c.Longest) << c.Text;
    lines.Clear();
    EXPECT_TRUE(lines.Empty());
    EXPECT_EQ(lines.LongestLine(), 0u);
    lines.Append("z");
    EXPECT_EQ(All(lines), std::vector<std::string>{"z"});
  }
}

}  // namespace
