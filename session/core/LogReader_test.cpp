#include "session/core/LogReader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "base/core/FileIO.h"
#include "session/core/LogLines.h"
#include "testkit/core/TempDir.h"

using namespace proctorium;

namespace {

std::vector<std::string> All(const TLogLines& lines) {
  std::vector<std::string> out;
  for (std::size_t i = 0; i < lines.Count(); ++i) out.emplace_back(lines.Line(i));
  return out;
}

// Reads the log through the reader in pieces and puts the parts together.
TLogLines ReadInParts(TLogReader& reader, std::size_t piece) {
  TLogLines lines;
  lines.Assign(reader.TakeTail());
  while (!reader.Done()) reader.ReadMore(piece);
  EXPECT_FALSE(reader.Changed());
  lines.Prepend(reader.TakeHead());
  return lines;
}

// Whatever the tail's size and the pieces', the log read end first has the
// lines of the log read whole; a tail that would cut a line starts at the
// line's beginning, further back.
TEST(LogReader, EndFirstGivesTheWholeLog) {
  std::string entries;
  for (int i = 0; i < 50; ++i) entries += "05/12/2026  Set " + std::to_string(i) + ".qst\r\n   7 of 9 Correct\r\n\r\n";
  const struct {
    const char* Name;
    std::string Text;
  } logs[] = {
      {"entries", entries},
      {"lone breaks", "a\rbb\nccc\n\r\nd\r\r\n\r"},
      {"one long line", std::string(5000, 'x') + "\r\nshort\r\n"},
      {"no break at the end", "first\r\nsecond\r\nthi"},
      {"empty", ""},
  };
  for (const auto& log : logs) {
    testkit::TTempDir dir;
    dir.WriteFile("results.txt", log.Text);
    TLogLines whole;
    whole.Assign(log.Text);
    for (const std::size_t tail : {1, 3, 7, 100, 1000, 1 << 20}) {
      for (const std::size_t piece : {1, 5, 4096}) {
        TLogReader reader(dir.Path("results.txt"), tail);
        EXPECT_EQ(All(ReadInParts(reader, piece)), All(whole)) << log.Name << " tail " << tail << " piece " << piece;
      }
    }
  }
  testkit::TTempDir dir;
  TLogReader missing(dir.Path("results.txt"), 100);
  EXPECT_TRUE(missing.Done());
  EXPECT_EQ(missing.TakeTail(), "");
  EXPECT_THROW(TLogReader(dir.Path(""), 100), EFileError);  // a folder, not a log
#ifndef _WIN32
  // A link in the log's place is never followed, as no log is.
  dir.WriteFile("elsewhere.txt", "secret\r\n");
  std::filesystem::create_symlink(dir.Path("elsewhere.txt"), dir.Path("results.txt"));
  EXPECT_THROW(TLogReader(dir.Path("results.txt"), 100), EFileError);
#endif
}

// Other seats adding to the log while its beginning is read change nothing
// read; a log emptied, cut or replaced meanwhile is told, not joined.
TEST(LogReader, NoticesALogEmptiedOrReplacedWhileReading) {
  std::string entries;
  for (int i = 0; i < 200; ++i) entries += "05/12/2026  Set " + std::to_string(i) + ".qst\r\n   7 of 9 Correct\r\n\r\n";
  const struct {
    const char* Name;
    std::string After;  // the log when the reading has begun
    bool Changed;
  } cases[] = {
      {"added to", entries + "06/12/2026  New.qst\r\n   1 of 9 Correct\r\n\r\n", false},
      {"emptied", "", true},
      {"cut", entries.substr(0, entries.size() / 2), true},
      {"replaced by a longer log", "x\r\n" + entries + entries, true},
  };
  for (const auto& c : cases) {
    testkit::TTempDir dir;
    dir.WriteFile("results.txt", entries);
    TLogReader reader(dir.Path("results.txt"), 500);
    const std::string tail = reader.TakeTail();
    ASSERT_FALSE(reader.Done()) << c.Name;
    reader.ReadMore(100);
    dir.WriteFile("results.txt", c.After);
    while (!reader.Done()) reader.ReadMore(1000);
    EXPECT_EQ(reader.Changed(), c.Changed) << c.Name;
    if (c.Changed) continue;
    TLogLines lines;
    lines.Assign(tail);
    lines.Prepend(reader.TakeHead());
    TLogLines whole;
    whole.Assign(entries);
    EXPECT_EQ(All(lines), All(whole)) << c.Name;
  }
}

}  // namespace
