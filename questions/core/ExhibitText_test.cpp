// Exhibit descriptions live beside their pictures and round-trip as the
// program's own Windows-1252 text with CR LF.

#include "questions/core/ExhibitText.h"

#include <gtest/gtest.h>

#include "base/core/FileIO.h"
#include "testkit/core/TempDir.h"

using namespace proctorium;

TEST(ExhibitText, SitsBesideThePictureWithTxtAdded) {
  EXPECT_EQ(ExhibitTextPath("/x/Tests/chart.bmp"), "/x/Tests/chart.bmp.txt");
}

TEST(ExhibitText, WrittenAndReadBack) {
  testkit::TTempDir dir;
  const std::string picture = dir.Path("chart.bmp");
  struct TCase {
    const char* Name;
    std::string Written, Stored, Read;
  };
  const TCase cases[] = {
      {"one line", "Two arrows", "Two arrows\r\n", "Two arrows"},
      {"LF becomes CR LF", "Left: 5 N\nRight: 12 N\n\n", "Left: 5 N\r\nRight: 12 N\r\n", "Left: 5 N\r\nRight: 12 N"},
      {"CR LF kept", "a\r\nb", "a\r\nb\r\n", "a\r\nb"},
      {"Windows-1252 bytes kept",
       "5 \xB0"
       "C",
       "5 \xB0"
       "C\r\n",
       "5 \xB0"
       "C"},
  };
  for (const TCase& c : cases) {
    WriteExhibitText(picture, c.Written);
    EXPECT_EQ(dir.ReadFile("chart.bmp.txt"), c.Stored) << c.Name;
    EXPECT_EQ(ReadExhibitText(picture), c.Read) << c.Name;
  }
}

TEST(ExhibitText, BlankRemovesAndMissingReadsEmpty) {
  testkit::TTempDir dir;
  const std::string picture = dir.Path("chart.bmp");
  EXPECT_EQ(ReadExhibitText(picture), "");
  WriteExhibitText(picture, "Something");
  WriteExhibitText(picture, "  \r\n ");
  EXPECT_FALSE(FileExists(ExhibitTextPath(picture)));
  EXPECT_EQ(ReadExhibitText(picture), "");
  WriteExhibitText(picture, "");  // nothing to remove: no error
}
