// Sets in any script: the file they are written to, how they come back,
// how older readers treat them, and search, import and export through them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/core/Cp1252.h"
#include "base/core/FileIO.h"
#include "questions/core/PrintSheet.h"
#include "questions/core/QuestionExchange.h"
#include "questions/core/SearchHit.h"
#include "testkit/core/EightBitSetReader.h"
#include "testkit/core/TempDir.h"

using namespace proctorium;

namespace {

// Texts a science or language teacher writes that Windows-1252 lacks.
const std::vector<std::string> UnicodeTexts = {
    "x ≥ 0",       "y ≤ 1",     "5 − 3 = 2",     "a ≠ b",      "√2 ≈ 1.414",      "π r²", "H₂O and CO₂", "Σοφία σοφός",
    "Привет, мир", "שלום עולם", "水は H₂O です", "漢字と仮名", "emoji 🙂 wide",
};

// A set of one question whose every text is t (UTF-8).
TQuestionSet SetOf(const std::string& t, TTextEncoding encoding) {
  TQuestionSet set;
  set.Encoding = encoding;
  TQuestion d;
  d.Text = "About " + t;
  set.Add(d);
  TQuestion q;
  q.Text = t + "\r\nsecond line";
  q.Answers[0] = t;
  q.Answers[1] = "plain";
  q.CorrectMask = 1;
  q.Remarks = "see " + t;
  q.ExhibitFile = "caf\xE9.bmp";  // Windows-1252 in every set
  set.Add(q);
  if (encoding == TTextEncoding::Cp1252)
    for (TQuestion& each : set.Questions) {
      each.Text = Utf8ToCp1252(each.Text);
      for (auto& a : each.Answers) a = Utf8ToCp1252(a);
      each.Remarks = Utf8ToCp1252(each.Remarks);
    }
  set.TimeStamp = 46000.5;
  return set;
}

std::string Hex(const std::string& bytes) {
  std::string s;
  char buf[4];
  for (unsigned char c : bytes) {
    std::snprintf(buf, sizeof buf, "%02X ", c);
    s += buf;
  }
  return s;
}

}  // namespace

TEST(UnicodeSetFile, TextsThatFitWindows1252KeepTheEightBitFormatByteForByte) {
  // The description of a set in the 8-bit format, every byte given: "Hi",
  // not protected, no owner, time stamp 0.
  std::string golden("\xFF", 1);
  golden += std::string(8 + 8 + 4 + 1 + 4, '\0');
  golden += std::string("\x02\0\0\0\x59\x7A\0\0", 8);
  golden += std::string(8 * 4 + 1 + 4 + 4, '\0');
  TQuestionSet hi;
  hi.Encoding = TTextEncoding::Utf8;
  TQuestion d;
  d.Text = "Hi";
  hi.Add(d);
  hi.ProtectedSet = false;
  EXPECT_EQ(Hex(hi.Serialize()), Hex(golden));

  // Whatever fits the code page is written as a Windows-1252 set writes it,
  // however the set held it.
  const std::string fitting[] = {"café au lait", "€5 – “quoted” ‘text’", "Ünïcödé ÿ ß ©", "tab\tand\r\nbreak", ""};
  for (const std::string& t : fitting) {
    SCOPED_TRACE(t);
    const TQuestionSet unicode = SetOf(t, TTextEncoding::Utf8);
    const TQuestionSet eightBit = SetOf(t, TTextEncoding::Cp1252);
    EXPECT_FALSE(unicode.NeedsUnicodeFile());
    const std::string image = unicode.Serialize();
    EXPECT_EQ(Hex(image), Hex(eightBit.Serialize()));
    TQuestionSet back;
    EXPECT_TRUE(back.Parse(image, "x.qst"));
    EXPECT_EQ(back.Encoding, TTextEncoding::Cp1252);
    EXPECT_EQ(back.Questions[1], eightBit.Questions[1]);
  }
}

TEST(UnicodeSetFile, EveryScriptSurvivesSaveAndLoad) {
  testkit::TTempDir dir;
  for (const std::string& t : UnicodeTexts) {
    SCOPED_TRACE(t);
    const TQuestionSet set = SetOf(t, TTextEncoding::Utf8);
    ASSERT_TRUE(set.NeedsUnicodeFile());
    const std::string image = set.Serialize();
    // Its own mark and signature, then the header the 8-bit format has.
    EXPECT_EQ(image.substr(0, 9), std::string("\xFEUTF-8\0\0\0", 9));
    const std::string path = dir.Folder() + "set.qst";
    set.SaveToFile(path);
    TQuestionSet back;
    EXPECT_TRUE(back.LoadFromFile(path));
    EXPECT_TRUE(back.NewFormat);
    EXPECT_EQ(back.Encoding, TTextEncoding::Utf8);
    EXPECT_EQ(back.TimeStamp, set.TimeStamp);
    EXPECT_EQ(back.LastIndex, 1);
    EXPECT_EQ(back.Questions[0], set.Questions[0]);
    EXPECT_EQ(back.Questions[1], set.Questions[1]);
    // Written again, the same bytes.
    EXPECT_EQ(back.Serialize(), image);
  }
}

TEST(UnicodeSetFile, ASetThatNoLongerNeedsUnicodeGoesBackToTheEightBitFormat) {
  TQuestionSet set = SetOf("x ≥ 0", TTextEncoding::Utf8);
  ASSERT_EQ(static_cast<unsigned char>(set.Serialize()[0]), 0xFE);
  TQuestion q = set.Questions[1];
  q.Text = q.Answers[0] = q.Remarks = "x >= 0";
  set.SetCurrent(1);
  set.ReplaceCurrent(q);
  set.Questions[0].Text = "About";
  const std::string image = set.Serialize();
  EXPECT_EQ(static_cast<unsigned char>(image[0]), 0xFF);
  TQuestionSet back;
  back.Parse(image, "x.qst");
  EXPECT_EQ(back.Encoding, TTextEncoding::Cp1252);
  EXPECT_EQ(back.Questions[1].Text, "x >= 0");
}

TEST(UnicodeSetFile, ReadersFromBeforeTheUnicodeFormatRefuseItCleanly) {
  for (const std::string& t : {std::string("π"), std::string("水")}) {
    const TQuestionSet set = SetOf(t, TTextEncoding::Utf8);
    try {
      testkit::EightBitSetLastIndex(set.Serialize(), "new.qst");
      ADD_FAILURE() << "an 8-bit reader took a Unicode set";
    } catch (const EFileError& e) {
      EXPECT_EQ(std::string(e.what()), "Damaged question set file new.qst: the question count is out of range");
    }
  }
  // The same reader still takes what a set that fits Windows-1252 writes.
  EXPECT_EQ(testkit::EightBitSetLastIndex(SetOf("café", TTextEncoding::Utf8).Serialize(), "old.qst"), 1);
}

TEST(UnicodeSetFile, DamagedUnicodeFilesAreRefusedLikeOthers) {
  const std::string image = SetOf("π", TTextEncoding::Utf8).Serialize();
  const std::string cut[] = {image.substr(0, 1), image.substr(0, 20), image.substr(0, image.size() - 1)};
  for (const std::string& bytes : cut) {
    TQuestionSet set = SetOf("kept", TTextEncoding::Cp1252);
    EXPECT_THROW(set.Parse(bytes, "x.qst"), EFileError) << bytes.size();
    EXPECT_EQ(set.Encoding, TTextEncoding::Cp1252);
    EXPECT_EQ(set.Questions[1].Answers[0], "kept");
  }
}

TEST(UnicodeSetSearch, CaseIsIgnoredInEveryScript) {
  TQuestionSet set;
  set.Encoding = TTextEncoding::Utf8;
  const char* texts[] = {"Overview Σ", "Σοφία ΣΟΦΌΣ", "Die Straße", "Скажи привет", "水は H₂O", "x ≥ 0"};
  for (const char* t : texts) {
    TQuestion q;
    q.Text = t;
    set.Add(q);
  }
  // search text; the question found (0: none)
  const std::pair<std::string, int> cases[] = {
      {"σοφία", 1},   {"ΣΟΦΊΑ", 1},   {"σοφος", 0},   {"σοφός", 1}, {"ς", 1},
      {"ПРИВЕТ", 3},  {"h₂o", 4},     {"≥ 0", 5},     {"σ", 1},  // the description (question 0) is never searched
#ifndef _WIN32
      {"STRASSE", 2}, {"strasse", 2},
#endif
      {"straße", 2},  {"水", 4},      {"nowhere", 0},
  };
  for (const auto& [text, found] : cases) {
    set.SetCurrent(0);
    EXPECT_EQ(set.Search(text, false) ? set.Current : 0, found) << text;
  }

  // The hit is given in the stored text's own bytes, for the editor to mark.
  const TSearchHit hit = LocateSearchHit(set.Questions[3], "ПРИВЕТ", set.Encoding);
  EXPECT_EQ(hit.Field, THitField::Text);
  EXPECT_EQ(set.Questions[3].Text.substr(hit.Offset, hit.Length), "привет");
  TQuestion eightBit;
  eightBit.Answers[1] = "Un caf\xE9 cr\xE8me";
  const TSearchHit inAnswer = LocateSearchHit(eightBit, "CAFÉ", TTextEncoding::Cp1252);
  EXPECT_EQ(inAnswer.Field, THitField::Answer);
  EXPECT_EQ(inAnswer.Answer, 1);
  EXPECT_EQ(std::pair(inAnswer.Offset, inAnswer.Length), std::pair(std::size_t{3}, std::size_t{4}));
}

TEST(UnicodeSetExchange, EveryFormatCarriesUnicodeTextOutAndBack) {
  const TExchangeFormat formats[] = {TExchangeFormat::Aiken, TExchangeFormat::Gift, TExchangeFormat::MoodleXml,
                                     TExchangeFormat::Csv};
  TQuestionSet set;
  set.Encoding = TTextEncoding::Utf8;
  TQuestion d;
  d.Text = "Physik und Chemie";
  set.Add(d);
  for (const std::string& t : UnicodeTexts) {
    TQuestion q;
    q.Text = "Which is " + t + "?";
    q.Answers[0] = t;
    q.Answers[1] = "not " + t;
    q.CorrectMask = 1;
    q.RandomizeAnswers = 1;
    q.Remarks = "Ref " + t;
    set.Add(q);
  }
  for (TExchangeFormat f : formats) {
    SCOPED_TRACE(FormatName(f));
    const TExportResult out = ExportQuestions(f, set, nullptr);
    EXPECT_EQ(out.Written, set.LastIndex);
    TImportResult in = ImportQuestions(f, out.Bytes, "x");
    EXPECT_TRUE(in.Skipped.empty());
    EXPECT_EQ(in.Encoding, TTextEncoding::Utf8);
    ASSERT_EQ(static_cast<int>(in.Questions.size()), set.LastIndex);
    for (int i = 1; i <= set.LastIndex; ++i) {
      TQuestion expected = set.Questions[static_cast<size_t>(i)];
      if (f == TExchangeFormat::Aiken) expected.Remarks.clear();
      EXPECT_EQ(in.Questions[static_cast<size_t>(i - 1)], expected) << i;
    }
    // A set made from the import is written and read back whole.
    const TQuestionSet made = SetOfQuestions(in, ImportedDescription(in, "Физика.gift"));
    TQuestionSet back;
    back.Parse(made.Serialize(), "made.qst");
    EXPECT_EQ(back.Encoding, TTextEncoding::Utf8);
    EXPECT_EQ(back.Questions[0].Text, "Физика");
    EXPECT_EQ(back.Questions[1].Text, set.Questions[1].Text);
  }
}

TEST(UnicodeSetExchange, ImportsTurnUnicodeWhereTheyMustAndSetsFollow) {
  // The first question fits Windows-1252; the second does not, and the
  // first comes along into UTF-8.
  TImportResult r = ImportQuestions(TExchangeFormat::Gift, "Caf\xC3\xA9? {=yes ~no}\n\nx ≥ 0? {=yes ~no}\n", "x");
  ASSERT_EQ(r.Questions.size(), 2u);
  EXPECT_EQ(r.Encoding, TTextEncoding::Utf8);
  EXPECT_EQ(r.Questions[0].Text, "Café?");
  EXPECT_EQ(r.Questions[1].Text, "x ≥ 0?");

  // An 8-bit set taking Unicode questions becomes a Unicode set ...
  TQuestionSet set = SetOf("caf\xC3\xA9", TTextEncoding::Cp1252);
  MatchEncodings(set, r);
  EXPECT_EQ(set.Encoding, TTextEncoding::Utf8);
  EXPECT_EQ(set.Questions[1].Answers[0], "café");
  // ... and 8-bit questions join a Unicode set in UTF-8.
  TImportResult plain = ImportQuestions(TExchangeFormat::Gift, "Cr\xC3\xA8me? {=oui ~non}\n", "x");
  EXPECT_EQ(plain.Encoding, TTextEncoding::Cp1252);
  EXPECT_EQ(plain.Questions[0].Text, "Cr\xE8me?");
  MatchEncodings(set, plain);
  EXPECT_EQ(plain.Questions[0].Text, "Crème?");
}

TEST(UnicodeSetExchange, PrintedSheetsAndTheKeyCarryEveryScript) {
  const TQuestionSet set = SetOf("Σ ≥ √π", TTextEncoding::Utf8);
  auto text = [&set](TSheetKind kind) {
    std::string all;
    for (const TPrintBlock& b : ComposeSheet(set, kind, "Sheet")) all += b.Text + "\n";
    return all;
  };
  const std::string paper = text(TSheetKind::QuestionPaper);
  EXPECT_NE(paper.find("About Σ ≥ √π"), std::string::npos) << paper;
  EXPECT_NE(paper.find("Σ ≥ √π\nsecond line"), std::string::npos) << paper;
  EXPECT_NE(text(TSheetKind::AnswerKey).find("see Σ ≥ √π"), std::string::npos);
}
