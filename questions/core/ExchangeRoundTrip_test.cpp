// A set written in each format and read back gives the same questions, as
// far as the format carries them.
#include <gtest/gtest.h>

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
    // Formats with weights give partial credit where several answers are
    // correct: reading them back says so for the one such question.
    const bool weights = f == TExchangeFormat::Gift || f == TExchangeFormat::MoodleXml;
    EXPECT_EQ(in.Changed.size(), weights ? 1u : 0u);
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
