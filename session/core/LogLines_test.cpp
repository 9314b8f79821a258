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

// A text read in pieces, or its end first and its beginning put in front,
// has the same lines as the text read whole, wherever it was cut (between CR
// and LF too), and lines appended afterwards follow the last.
TEST(LogLines, PiecesAndPartsGiveTheLinesOfTheWholeText) {
  const std::string texts[] = {"05/12  A.qst\r\n   7 of 9  \r\n\r\n", "a\rbb\nccc\n\r\n", "a\n\rb",
                               "one\r\nlongest line\r\ntw", "a\r\r\n\r"};
  for (const std::string& text : texts) {
    TLogLines whole;
    whole.Assign(text);
    for (std::size_t cut = 0; cut <= text.size(); ++cut) {
      TLogLines fed;
      fed.Feed(text.substr(0, cut));
      fed.Feed(text.substr(cut));
      fed.Finish();
      EXPECT_EQ(All(fed), All(whole)) << text << " fed, cut at " << cut;
      // The end alone starts at a line start: where a break ends.
      const bool lineStart = cut == 0 || text[cut - 1] == '\n' || (text[cut - 1] == '\r' && text[cut] != '\n');
      if (!lineStart || cut == text.size()) continue;
      TLogLines parts;
      parts.Assign(text.substr(cut));
      TLogLines head;
      head.Feed(text.substr(0, cut));
      parts.Prepend(std::move(head));
      EXPECT_EQ(All(parts), All(whole)) << text << " in two parts, cut at " << cut;
      EXPECT_EQ(parts.Line(parts.LongestLine()).size(), whole.Line(whole.LongestLine()).size()) << text;
      parts.Append("z");
      EXPECT_EQ(parts.Line(parts.Count() - 1), "z") << text;
      EXPECT_EQ(parts.Count(), whole.Count() + 1) << text;
    }
  }
}

}  // namespace
