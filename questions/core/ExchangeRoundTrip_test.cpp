// A set written in each format and read back gives the same questions, as
// far as the format carries them.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <tuple>

#include "base/core/FileIO.h"
#include "questions/core/QuestionExchange.h"
#include "testkit/core/TempDir.h"

using namespace proctorium;

namespace {

TQuestion Q(const std::string& text, std::vector<std::string> answers, AnswerMask mask, bool multiple, bool shuffle,
            const std::string& remarks = "", const std::string& exhibit = "") {
  TQuestion q;
  q.Text = text;
  for (size_t i = 0; i < answers.size(); ++i) q.Answers[i] = answers[i];
  q.CorrectMask = mask;
  q.AnswerType = multiple ? TAnswerType::Multiple : TAnswerType::Single;
  q.RandomizeAnswers = shuffle ? 1 : 0;
  q.Remarks = remarks;
  q.ExhibitFile = exhibit;
  return q;
}

TQuestionSet Sample() {
  TQuestionSet s;
  s.Add(Q("Description", {}, 0, false, false));
  // Windows-1252 texts: \xE9 is e acute, \x80 the euro sign.
  s.Add(Q("Caf\xE9 costs \x80 3?", {"Yes", "No"}, 1, false, true, "Price list"));
  s.Add(Q("Two lines\r\nof text with {braces} = ~ # : \\ <b>", {"a & b", "c < d", "e"}, 4, false, false,
          "Ref: page 1\r\nsecond line"));
  s.Add(Q("Pick several", {"1", "2", "3", "4", "5", "6", "7", "8"}, 0x85, true, true, "", "map.bmp"));
  s.Add(Q("Multiple with one mark", {"x", "y"}, 2, true, false));
  s.Add(Q("Spaces  kept  here ", {" lead", "b"}, 1, false, true));
  return s;
}

std::string Bitmap() { return "BM" + std::string(68, '\x01'); }

// What the format gives back for q: fields it cannot carry take the values
// an import gives them.
TQuestion Expected(TExchangeFormat f, TQuestion q) {
  if (f == TExchangeFormat::Aiken || f == TExchangeFormat::Gift) {
    q.RandomizeAnswers = 1;
    q.ExhibitFile.clear();
  }
  if (f == TExchangeFormat::Aiken) q.Remarks.clear();
  if (f != TExchangeFormat::MoodleXml) {
    // Text formats trim the space around a text.
    for (std::string& a : q.Answers)
      while (!a.empty() && a.front() == ' ') a.erase(0, 1);
    while (!q.Text.empty() && q.Text.back() == ' ') q.Text.pop_back();
  }
  return q;
}

}  // namespace

TEST(ExchangeRoundTrip, EveryFormatCarriesBackWhatItCan) {
  const TQuestionSet set = Sample();
  const TExchangeFormat formats[] = {TExchangeFormat::Aiken, TExchangeFormat::Gift, TExchangeFormat::MoodleXml,
                                     TExchangeFormat::Csv};
  for (TExchangeFormat f : formats) {
    SCOPED_TRACE(FormatName(f));
    testkit::TTempDir dir;
    const TExportResult out = ExportQuestions(f, set, [](const std::string& name, std::string& bytes) {
      if (name != "map.bmp") return false;
      bytes = Bitmap();
      return true;
    });
    TImportResult in = ImportQuestions(f, out.Bytes, "x");
    EXPECT_TRUE(in.Skipped.empty());
    // The multiple-answer question goes out with weights other systems read
    // as partial credit, but comes back as the all-or-nothing question it
    // was, without a note.
    EXPECT_TRUE(in.Changed.empty());
    ConvertImages(in, nullptr);
    WriteImages(in, dir.Folder());
    std::vector<TQuestion> expected;
    for (int i = 1; i <= set.LastIndex; ++i) {
      const TQuestion& q = set.Questions[static_cast<size_t>(i)];
      // Aiken holds single-answer questions only; the rest is noted.
      if (f == TExchangeFormat::Aiken && (q.AnswerType != TAnswerType::Single)) continue;
      expected.push_back(Expected(f, q));
    }
    EXPECT_EQ(out.Written, static_cast<int>(expected.size()));
    EXPECT_EQ(out.Notes.size(), f == TExchangeFormat::Aiken ? 2u : (f == TExchangeFormat::Gift ? 1u : 0u));
    ASSERT_EQ(in.Questions.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(in.Questions[i], expected[i]) << "question " << i + 1;
    if (f == TExchangeFormat::MoodleXml) {
      EXPECT_EQ(dir.ReadFile("map.bmp"), Bitmap());
    }
  }
}

TEST(ExchangeImages, AnExistingDifferentPictureIsNeverOverwritten) {
  testkit::TTempDir dir;
  dir.WriteFile("pic.bmp", "BMold");
  dir.WriteFile("same.bmp", "BMsame");
  TImportResult r;
  r.Questions.resize(3);
  r.Lines = {1, 2, 3};
  r.Images = {{0, "pic.png", "BMnew"}, {1, "dir/same.gif", "BMsame"}, {2, "a:b?.jpg", "BMx"}};
  WriteImages(r, dir.Folder());
  EXPECT_EQ(r.Questions[0].ExhibitFile, "pic_2.bmp");
  EXPECT_EQ(r.Questions[1].ExhibitFile, "same.bmp");
  EXPECT_EQ(r.Questions[2].ExhibitFile, "a_b_.bmp");
  EXPECT_EQ(dir.ReadFile("pic.bmp"), "BMold");
  EXPECT_EQ(dir.ReadFile("pic_2.bmp"), "BMnew");
}

// Two pictures of one import get two names, even before either is on
// disk; and when one cannot be written, none is left.
TEST(ExchangeImages, AFailedWriteLeavesNoPictureOfTheImport) {
  struct TCase {
    std::string Second;
    bool Fails;
    std::vector<std::string> Files;
  };
  const std::string tooLong(300, 'n');
  const TCase cases[] = {
      {"first.gif", false, {"first.bmp", "first_2.bmp"}},
      {"other.png", false, {"first.bmp", "other.bmp"}},
      {tooLong + ".png", true, {}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Second.substr(0, 20));
    testkit::TTempDir dir;
    TImportResult r;
    r.Questions.resize(2);
    r.Lines = {1, 2};
    r.Images = {{0, "first.png", "BM1"}, {1, c.Second, "BM2"}};
    if (c.Fails) {
      EXPECT_THROW(WriteImages(r, dir.Folder()), EFileError);
    } else {
      WriteImages(r, dir.Folder());
      EXPECT_EQ(dir.ReadFile(r.Questions[1].ExhibitFile), "BM2");
    }
    std::vector<std::string> files;
    for (const auto& e : std::filesystem::directory_iterator(ToFsPath(dir.Folder())))
      files.push_back(FromFsPath(e.path().filename()));
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, c.Files);
  }
}

// Only names inside the input's own folder may name a picture.
TEST(ExchangeImages, PictureNamesOutsideTheInputFolderAreRefused) {
  const std::pair<const char*, bool> names[] = {
      {"map.bmp", true},
      {"sub/map.bmp", true},
      {"sub\\deeper\\map.bmp", true},
      {"..map.bmp", true},
      {"../map.bmp", false},
      {"sub/../../map.bmp", false},
      {"..\\map.bmp", false},
      {"/etc/passwd", false},
      {"\\\\server\\share\\x.bmp", false},
      {"C:\\map.bmp", false},
      {"c:map.bmp", false},
      {"file:///etc/passwd", false},
      {"sub/ .. /map.bmp", false},
      {"", false},
  };
  for (const auto& [name, inside] : names) EXPECT_EQ(IsNameInsideFolder(name), inside) << name;

  const std::string csv = "question,A,B,correct,exhibit\r\nIn,a,b,A,map.bmp\r\nOut,a,b,A,../../home/x.bmp\r\n";
  TImportResult r = ImportQuestions(TExchangeFormat::Csv, csv, "x.csv");
  RefuseOutsideExhibits(r);
  ASSERT_EQ(r.Questions.size(), 2u);
  EXPECT_EQ(r.Questions[0].ExhibitFile, "map.bmp");
  EXPECT_EQ(r.Questions[1].ExhibitFile, "");
  ASSERT_EQ(r.Changed.size(), 1u);
  EXPECT_EQ(r.Changed[0], (TImportNote{3,
                                       "exhibit ../../home/x.bmp is outside the file's folder; the question "
                                       "has no exhibit"}));
}

// A spreadsheet opening the questions export runs nothing, and importing
// the export gives the texts back as they were.
TEST(ExchangeRoundTrip, CsvExportGuardsFormulasAndImportUndoesIt) {
  const std::pair<const char*, const char*> cases[] = {
      {"=cmd|' /C calc'!A0", "'=cmd|' /C calc'!A0"},
      {"@SUM(A1)", "'@SUM(A1)"},
      {"+1", "'+1"},
      {"-5", "'-5"},
      {"=HYPERLINK(\"http://x\")", "\"'=HYPERLINK(\"\"http://x\"\")\""},
      {"\tTabbed", "'\tTabbed"},
      {"'=already", "''=already"},
      {"'Tis plain", "''Tis plain"},
      {"a = b", "a = b"},
  };
  for (const auto& [text, written] : cases) {
    SCOPED_TRACE(text);
    TQuestionSet set;
    set.Add(Q("Description", {}, 0, false, false));
    set.Add(Q("Question", {text, "b"}, 1, false, true, text));
    const TExportResult out = ExportQuestions(TExchangeFormat::Csv, set, nullptr);
    const std::string row = out.Bytes.substr(out.Bytes.find("\r\n") + 2);
    EXPECT_EQ(row.substr(0, row.find(",b,")), "Question," + std::string(written));
    const TImportResult in = ImportQuestions(TExchangeFormat::Csv, out.Bytes, "x.csv");
    ASSERT_EQ(in.Questions.size(), 1u);
    const std::string trimmed = text[0] == '\t' ? text + 1 : text;  // CSV import trims the space around texts
    EXPECT_EQ(in.Questions[0].Answers[0], trimmed);
    EXPECT_EQ(in.Questions[0].Remarks, text);
  }
}
