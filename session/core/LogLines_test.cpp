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

struct TSplitCase {
  const char* Name;
  std::string Text;
  std::vector<std::string> Lines;
  std::size_t Longest;
};

class LogLinesSplit : public ::testing::TestWithParam<TSplitCase> {};

TEST_P(LogLinesSplit, FindsTheLinesAsTheLogHoldsThem) {
  const TSplitCase& c = GetParam();
  TLogLines lines;
  lines.Assign("stale\r\ntext\r\n");  // what a reload replaces
  lines.Assign(c.Text);
  EXPECT_EQ(All(lines), c.Lines);
  EXPECT_EQ(lines.Empty(), c.Lines.empty());
  EXPECT_EQ(lines.LongestLine(), c.Longest);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, LogLinesSplit,
    ::testing::Values(TSplitCase{"empty", "", {}, 0}, TSplitCase{"one break only", "\r\n", {""}, 0},
                      TSplitCase{
                          "entry", "05/12  A.qst\r\n   7 of 9  \r\n\r\n", {"05/12  A.qst", "   7 of 9  ", ""}, 0},
                      TSplitCase{"torn last line", "one\r\n   tw", {"one", "   tw"}, 1},
                      TSplitCase{"cut between CR and LF", "a\r", {"a"}, 0},
                      TSplitCase{"lone CR and LF", "a\rbb\nccc\n\r\n", {"a", "bb", "ccc", ""}, 2},
                      TSplitCase{"LF CR is two breaks", "a\n\rb", {"a", "", "b"}, 0},
                      TSplitCase{"code page bytes kept", "Caf\xe9\r\n\x80\r\n", {"Caf\xe9", "\x80"}, 0},
                      TSplitCase{"first longest wins ties", "ab\r\ncd\r\nefg\r\nhij", {"ab", "cd", "efg", "hij"}, 2}),
    [](const auto& info) {
      std::string n = info.param.Name;
      for (char& ch : n)
        if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
      return n;
    });

TEST(LogLines, AppendedLinesNeverJoinTheLastOne) {
  const struct {
    std::string Text;
    std::vector<std::string> Lines;
  } cases[] = {
      {"", {"x", ""}},
      {"one\r\n", {"one", "x", ""}},
      {"one\r\n   tw", {"one", "   tw", "x", ""}},
      {"a\r", {"a", "x", ""}},
  };
  for (const auto& c : cases) {
    TLogLines lines;
    lines.Assign(c.Text);
    lines.Append("x");
    lines.Append("");
    EXPECT_EQ(All(lines), c.Lines) << c.Text;
  }
}

TEST(LogLines, LongestLineFollowsAppendsAndClear) {
  TLogLines lines;
  lines.Assign("abc\r\nd");
  lines.Append("efgh");
  EXPECT_EQ(lines.LongestLine(), 2u);
  lines.Append("ijk");
  EXPECT_EQ(lines.LongestLine(), 2u);
  lines.Clear();
  EXPECT_TRUE(lines.Empty());
  EXPECT_EQ(lines.LongestLine(), 0u);
  lines.Append("z");
  EXPECT_EQ(All(lines), std::vector<std::string>{"z"});
}

}  // namespace
