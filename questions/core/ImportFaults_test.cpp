// Questions other people wrote, read as the learning platform's own
// importers read them: each way a file can mislead an import, one table.
#include <gtest/gtest.h>

#include <tuple>

#include "base/core/Cp1252.h"
#include "questions/core/CsvColumnMemory.h"
#include "questions/core/QuestionExchange.h"

using namespace proctorium;

namespace {

// One question as a line: "text|answers|mask|type|shuffle|remarks".
// UTF-8 whatever the result's encoding.
std::string Show(const TQuestion& q, TTextEncoding encoding = TTextEncoding::Cp1252) {
  auto utf8 = [encoding](const std::string& t) { return encoding == TTextEncoding::Utf8 ? t : Cp1252ToUtf8(t); };
  std::string s = utf8(q.Text) + "|";
  for (const std::string& a : q.Answers)
    if (!a.empty()) s += utf8(a) + ";";
  return s + "|" + std::to_string(q.CorrectMask) + "|" + (q.AnswerType != TAnswerType::Single ? "M" : "S") + "|" +
         (q.RandomizeAnswers ? "R" : "-") + "|" + utf8(q.Remarks);
}

std::string Notes(const std::vector<TImportNote>& notes) {
  std::string s;
  for (const TImportNote& n : notes) s += std::to_string(n.Line) + ": " + n.Reason + "\n";
  return s;
}

// format, file text; the questions taken, what was skipped, what changed.
using TCase = std::tuple<TExchangeFormat, std::string, std::vector<std::string>, std::string, std::string>;

template <size_t N>
void CheckAll(const TCase (&cases)[N]) {
  for (const auto& [format, text, questions, skipped, changed] : cases) {
    SCOPED_TRACE(text);
    const TImportResult r = ImportQuestions(format, text, "in");
    std::vector<std::string> got;
    for (const TQuestion& q : r.Questions) got.push_back(Show(q, r.Encoding));
    EXPECT_EQ(got, questions);
    EXPECT_EQ(Notes(r.Skipped), skipped);
    EXPECT_EQ(Notes(r.Changed), changed);
  }
}

constexpr auto Gift = TExchangeFormat::Gift;
constexpr auto Aiken = TExchangeFormat::Aiken;
constexpr auto Xml = TExchangeFormat::MoodleXml;

}  // namespace

TEST(ImportTypes, GiftQuestionTypesFollowThePlatform) {
  const TCase cases[] = {
      // Answers all "=", with or without full weights: short answer.
      {Gift, "Capital of France? {=Paris =paris}", {}, "1: short-answer question, not multiple choice\n", ""},
      {Gift, "Capital? {=%100%Paris =%100%paris}", {}, "1: short-answer question, not multiple choice\n", ""},
      {Gift, "Who? {=Moodler}", {}, "1: short-answer question, not multiple choice\n", ""},
      // "->" inside a multiple-choice answer is text; without "~" it matches.
      {Gift, "Which arrow? {=a -> b ~c <- d}", {"Which arrow?|a -> b;c <- d;|1|S|R|"}, "", ""},
      {Gift, "Pairs {=a -> 1 =b -> 2}", {}, "1: matching question, not multiple choice\n", ""},
      {Gift, "True? {TRUE}", {"True?|True;False;|1|S|-|"}, "", ""},
      {Gift, "How much? {#2:0.5}", {}, "1: numerical question, not multiple choice\n", ""},
  };
  CheckAll(cases);
}

TEST(ImportWeights, PositiveWeightsMarkCorrectAnswersAndPartialCreditIsListed) {
  const TCase cases[] = {
      {Gift,
       "Primes? {~%50%2 ~%50%3 ~%-100%4}",
       {"Primes?|2;3;4;|3|M|R|"},
       "",
       "1: partial credit for A, B; here all of them must be ticked\n"},
      {Gift,
       "Thirds? {~%33.33333%a ~%33.33333%b ~%33.33333%c ~%-100%d}",
       {"Thirds?|a;b;c;d;|7|M|R|"},
       "",
       "1: partial credit for A, B, C; here all of them must be ticked\n"},
      {Gift,
       "Best? {=Best ~%50%Good ~Bad}",
       {"Best?|Best;Good;Bad;|3|M|R|"},
       "",
       "1: partial credit for A, B; here all of them must be ticked\n"},
      // One correct answer of a multiple-answer question: nothing changes.
      {Gift, "One of many {~%100%a ~%-100%b}", {"One of many|a;b;|1|M|R|"}, "", ""},
      {Gift, "None {~a ~b}", {}, "1: no correct answer\n", ""},
      {Xml,
       "<quiz><question type=\"multichoice\"><single>false</single><answer fraction=\"50\"><text>a</text></answer>"
       "<answer fraction=\"50\"><text>b</text></answer><answer fraction=\"-100\"><text>c</text></answer>"
       "</question></quiz>",
       {"|a;b;c;|3|M|R|"},
       "",
       "1: partial credit for A, B; here all of them must be ticked\n"},
      {Xml,
       "<quiz><question type=\"multichoice\"><single>true</single><answer fraction=\"50\"><text>a</text></answer>"
       "<answer fraction=\"50\"><text>b</text></answer><answer fraction=\"0\"><text>c</text></answer>"
       "</question>\n<question type=\"multichoice\"><answer fraction=\"50\"><text>a</text></answer>"
       "<answer fraction=\"0\"><text>b</text></answer></question></quiz>",
       {"|a;b;c;|3|M|R|", "|a;b;|1|S|R|"},
       "",
       "1: partial credit for A, B; here all of them must be ticked\n"
       "2: no answer gives full marks; A counts as the correct one\n"},
  };
  CheckAll(cases);
}

TEST(ImportText, HtmlEntitiesAndEscapesBecomeTheSameTextInEveryField) {
  const TCase cases[] = {
      // The platform's GIFT export: [html] on the question, answers follow it.
      {Gift,
       "[html]<p>When did it start?</p>{=<p><span style\\=\"color:red\">November 2015</span><br></p>#<b>Yes</b> "
       "~Never&nbsp;ever ####<p>See &amp; learn</p>}",
       {"When did it start?|November 2015;Never ever;|1|S|R|See & learn\r\nA: Yes"},
       "",
       ""},
      // Untagged text is HTML when it holds markup, plain otherwise.
      {Gift, "Is <b>this</b> bold? {=yes ~no}", {"Is this bold?|yes;no;|1|S|R|"}, "", ""},
      {Gift, "Is a < b? {=yes ~no}", {"Is a < b?|yes;no;|1|S|R|"}, "", ""},
      {Gift, "[plain]Keep <b> as typed {=yes ~no}", {"Keep <b> as typed|yes;no;|1|S|R|"}, "", ""},
      // \n escapes are line breaks, in plain and in HTML text.
      {Gift, "Line one\\nline two {=a ~b}", {"Line one\r\nline two|a;b;|1|S|R|"}, "", ""},
      {Gift, "[html]One\\ntwo<br>three {=a ~b}", {"One\r\ntwo\r\nthree|a;b;|1|S|R|"}, "", ""},
      // Named entities beyond the code page are decoded, then named if unstorable.
      {Gift,
       "[html]&Eacute;t&eacute; &ndash; &euro;5? {=&laquo;oui&raquo; ~non}",
       {"\xC3\x89t\xC3\xA9 \xE2\x80\x93 \xE2\x82\xAC"
        "5?|\xC2\xABoui\xC2\xBB;non;|1|S|R|"},
       "",
       ""},
      {Gift, "[html]x &ge; 0? {=yes ~no}", {"x \xE2\x89\xA5 0?|yes;no;|1|S|R|"}, "", ""},
      {Xml,
       "<quiz><question type=\"multichoice\"><questiontext format=\"html\"><text>&lt;p&gt;Q&lt;/p&gt;</text>"
       "</questiontext><answer fraction=\"100\"><text>&lt;p&gt;caf&amp;eacute;&lt;br&gt;&lt;/p&gt;</text>"
       "<feedback><text>&lt;b&gt;right&lt;/b&gt;</text></feedback></answer>"
       "<answer fraction=\"0\"><text>tea</text></answer></question></quiz>",
       {"Q|caf\xC3\xA9;tea;|1|S|R|A: right"},
       "",
       ""},
  };
  CheckAll(cases);
}

TEST(ImportText, AccentsAreComposedBeforeTheCodePageCheck) {
  const TCase cases[] = {
      {Gift,
       "Cafe\xCC\x81 or the\xCC\x81? {=Cafe\xCC\x81 ~the\xCC\x81}",
       {"Caf\xC3\xA9 or th\xC3\xA9?|Caf\xC3\xA9;th\xC3\xA9;|1|S|R|"},
       "",
       ""},
      {Aiken,
       "U\xCC\x88"
       "ber?\nA. ja\nB. nein\nANSWER: A\n",
       {"\xC3\x9C"
        "ber?|ja;nein;|1|S|R|"},
       "",
       ""},
      // Outside Windows-1252 the question still comes in (in a Unicode
      // set); a mark with nothing to compose with stays as it is.
      {Gift, "x \xE2\x89\xA5 0 and q\xCC\x81? {=yes ~no}", {"x \xE2\x89\xA5 0 and q\xCC\x81?|yes;no;|1|S|R|"}, "", ""},
  };
  CheckAll(cases);
}

TEST(ImportAiken, LabelsCountByPositionAsThePlatformReadsThem) {
  const TCase cases[] = {
      {Aiken,
       "Q?\nA) one\nD) two\nC) three\nD) four\nE) five\nANSWER: C\n",
       {"Q?|one;two;three;four;five;|4|S|R|"},
       "",
       "1: answer labels A D C D E are out of order; ANSWER: C taken by position as answer 3, \"three\"\n"},
      {Aiken, "Q?\nA)one\nB)two\nANSWER: B\n", {"Q?|one;two;|2|S|R|"}, "", ""},
      {Aiken,
       "Q?\nA. only\nANSWER: A\n\nNext?\nA. x\nB. y\nANSWER: A\n",
       {"Next?|x;y;|1|S|R|"},
       "1: only one answer; a question needs at least two\n",
       ""},
  };
  CheckAll(cases);
}

TEST(ImportPictures, PictureOnlyAnswersAreSkippedNotEmptied) {
  const TCase cases[] = {
      {Gift,
       "[html]Which flag? {=<img src\\=\"@@PLUGINFILE@@/fr.png\"> ~<img src\\=\"de.png\">}",
       {},
       "1: answer A is a picture only; answers in a set are text\n",
       ""},
      {Xml,
       "<quiz><question type=\"multichoice\"><answer fraction=\"0\"><text>text</text></answer>"
       "<answer fraction=\"100\"><text>&lt;img src=\"@@PLUGINFILE@@/a.png\"&gt;</text></answer></question></quiz>",
       {},
       "1: answer B is a picture only; answers in a set are text\n",
       ""},
      // Pictures that cannot come along are listed; the question comes in.
      {Gift,
       "[html]Look: <img src\\=\"@@PLUGINFILE@@/map.png\"> {=here ~there}",
       {"Look:|here;there;|1|S|R|"},
       "",
       "1: picture map.png is not in the file\n"},
      {Xml,
       "<quiz><question type=\"multichoice\"><answer fraction=\"100\"><text>a &lt;img src=\"x.png\"&gt;</text>"
       "</answer><answer fraction=\"0\"><text>b</text></answer></question></quiz>",
       {"|a;b;|1|S|R|"},
       "",
       "1: pictures in answers A left out\n"},
  };
  CheckAll(cases);
}

TEST(ImportPictures, OldStylePicturesAreKept) {
  const std::string xml =
      "<quiz><question type=\"multichoice\"><questiontext><text>Look</text></questiontext>"
      "<image>pics/map.png</image><image_base64>Qk1hYmM=</image_base64>"
      "<answer fraction=\"100\"><text>a</text></answer><answer fraction=\"0\"><text>b</text></answer>"
      "</question></quiz>";
  const TImportResult r = ImportQuestions(Xml, xml, "in.xml");
  ASSERT_EQ(r.Images.size(), 1u);
  EXPECT_EQ(r.Images[0].Question, 0);
  EXPECT_EQ(r.Images[0].Name, "pics/map.png");
  EXPECT_EQ(r.Images[0].Bytes, "BMabc");
  EXPECT_EQ(ExhibitNameFor(r.Images[0].Name), "map.bmp");
  EXPECT_TRUE(r.Changed.empty());
}

TEST(ImportOwnExport, GiftWrittenHereReadsBack) {
  // Answers holding "->" and markup, a one-answer question, a multiple one.
  TQuestionSet set;
  set.Add(TQuestion());
  TQuestion q;
  q.Text = "Which <b> arrow?";
  q.Answers[0] = "a -> b";
  q.Answers[1] = "c";
  q.CorrectMask = 1;
  set.Add(q);
  TQuestion one;
  one.Text = "Moodler";
  one.Answers[0] = "Moodler";
  one.CorrectMask = 1;
  set.Add(one);
  const TExportResult out = ExportQuestions(Gift, set, nullptr);
  EXPECT_EQ(out.Written, 2);
  const TImportResult back = ImportQuestions(Gift, out.Bytes, "back.gift");
  ASSERT_EQ(back.Questions.size(), 2u) << out.Bytes;
  EXPECT_EQ(Show(back.Questions[0]), "Which <b> arrow?|a -> b;c;|1|S|R|");
  EXPECT_EQ(Show(back.Questions[1]), "Moodler|Moodler;|1|M|R|");
  EXPECT_EQ(Notes(back.Skipped) + Notes(back.Changed), "");
  EXPECT_EQ(Notes(out.Notes),
            "2: its only answer is written weighted, so it reads back as a multiple-answer question\n");
}

// Other systems read the weights of a multiple-answer question as partial
// credit; this program's own export says the question is all or nothing,
// so reading it back changes nothing. A foreign file with the same weights
// keeps its note.
TEST(ImportOwnExport, AllOrNothingQuestionsReadBackWithoutANote) {
  TQuestionSet set;
  set.Add(TQuestion{});
  for (const AnswerMask mask : {AnswerMask{3}, AnswerMask{7}}) {
    TQuestion q;
    q.Text = "Pick";
    q.Answers = {"a", "b", "c", "d"};
    q.AnswerType = TAnswerType::Multiple;
    q.RandomizeAnswers = 1;  // GIFT always shuffles
    q.CorrectMask = mask;
    set.Add(q);
  }
  for (const TExchangeFormat f : {Gift, Xml}) {
    SCOPED_TRACE(FormatName(f));
    const TExportResult out = ExportQuestions(f, set, nullptr);
    const TImportResult back = ImportQuestions(f, out.Bytes, "back");
    ASSERT_EQ(back.Questions.size(), 2u);
    EXPECT_EQ(Show(back.Questions[0]), "Pick|a;b;c;d;|3|M|R|");
    EXPECT_EQ(Show(back.Questions[1]), "Pick|a;b;c;d;|7|M|R|");
    EXPECT_EQ(Notes(back.Changed), "");
    // Without the export's own mark the weights are partial credit.
    std::string foreign = out.Bytes;
    const std::string mark = f == Gift ? "// all or nothing" : "<tags>";
    for (size_t at; (at = foreign.find(mark)) != std::string::npos;) foreign.erase(at, foreign.find('\n', at) + 1 - at);
    EXPECT_EQ(ImportQuestions(f, foreign, "foreign").Changed.size(), 2u);
  }
}

TEST(ImportDescription, ANewSetNamesWhereItsQuestionsCameFrom) {
  // format, file text, file name; the description a new set takes
  const std::tuple<TExchangeFormat, std::string, std::string, std::string> cases[] = {
      {Gift, "$CATEGORY: $course$/top/Cell biology\n\nQ {=a ~b}\n", "bank.gift", "Cell biology"},
      {Gift, "$CATEGORY: $course$/top\n\nQ {=a ~b}\n", "dir/bank.gift", "bank"},
      {Xml,
       "<quiz><question type=\"category\"><category><text>$course$/top/Erdkunde</text></category></question>"
       "<question type=\"truefalse\"><answer fraction=\"100\"><text>true</text></answer>"
       "<answer fraction=\"0\"><text>false</text></answer></question></quiz>",
       "x.xml", "Erdkunde"},
      {Aiken, "Q?\nA. a\nB. b\nANSWER: A\n", "C:\\quiz\\Caf\xC3\xA9 quiz.txt", "Caf\xE9 quiz"},
  };
  for (const auto& [format, text, file, description] : cases) {
    SCOPED_TRACE(file);
    const TImportResult r = ImportQuestions(format, text, file);
    EXPECT_EQ(ImportedDescription(r, file), description);
  }
}

TEST(ImportDescription, OnlyAnEmptyNewSetTakesTheFilesDescription) {
  TImportResult r;
  r.Questions.resize(1);
  r.Title = "Biology";
  // the set's description, its question count; the description after the import
  const std::tuple<std::string, int, std::string> cases[] = {
      {"New question set\r\n\r\nThis set has no questions yet. To write it:", 0, "Biology"},
      {"", 0, "Biology"},
      {"My own words", 0, "My own words"},
      {"This set has no questions yet.", 1, "This set has no questions yet."},
  };
  for (const auto& [before, count, after] : cases) {
    TQuestionSet set;
    TQuestion d;
    d.Text = before;
    set.Add(d);
    for (int i = 0; i < count; ++i) set.Add(TQuestion());
    EXPECT_EQ(DescribeFromImport(set, r, "bank.gift"), before != after);
    EXPECT_EQ(set.Questions[0].Text, after);
  }
}

TEST(ImportCsv, OtherToolsTablesAreReadWithTheColumnsChosen) {
  const std::string table =
      "Nr;Frage;Antwort 1;Antwort 2;Antwort 3;Richtig\n"
      "1;Hauptstadt?;Bonn;Berlin;Wien;2\n"
      "2;Primzahlen?;2;4;3;A,C\n"
      "3;Farbe?;rot;gr\xC3\xBCn;blau;blau\n"
      "4;Kaputt?;ja;nein;;X\n"
      ";;;;;\n";
  const std::vector<std::string> header = ForeignCsvHeader(table, "t.csv");
  ASSERT_EQ(header.size(), 6u);
  EXPECT_EQ(header[5], "Richtig");
  const TCsvColumns guessed = GuessCsvColumns(header);
  EXPECT_EQ(guessed, (TCsvColumns{1, {0, 2, 3, 4}, 5}));  // the number column is a guess to correct
  const TImportResult r = ReadCsv(table, "t.csv", TCsvColumns{1, {2, 3, 4}, 5});
  std::vector<std::string> got;
  for (const TQuestion& q : r.Questions) got.push_back(Show(q));
  EXPECT_EQ(got, (std::vector<std::string>{"Hauptstadt?|Bonn;Berlin;Wien;|2|S|R|", "Primzahlen?|2;4;3;|5|M|R|",
                                           "Farbe?|rot;gr\xC3\xBCn;blau;|4|S|R|"}));
  EXPECT_EQ(Notes(r.Skipped), "5: key \"X\" names no answer\n");
  // Our own header needs no choice; a file that is no table is refused.
  EXPECT_TRUE(ForeignCsvHeader("question,A,B,correct\nq,a,b,A\n", "o.csv").empty());
  EXPECT_THROW(ReadCsv(table, "t.csv", TCsvColumns{1, {2, 9}, 5}), EImportError);
}

TEST(ImportCsv, ChosenColumnsAreRememberedByHeader) {
  const std::vector<std::string> header = {"Frage", "A1", "A2", "Key\twith tab"};
  TCsvColumnMemory memory;
  memory.Remember(header, {0, {1, 2}, 3});
  memory.Remember({"x", "y"}, {1, {0}, 0});
  memory.Remember(header, {0, {2, 1}, 3});  // chosen again: replaces
  TCsvColumnMemory again;
  again.Parse(memory.Text() + "garbage line\r\nq=x a= k=1\tbad\r\n");
  ASSERT_TRUE(again.Find(header).has_value());
  EXPECT_EQ(*again.Find(header), (TCsvColumns{0, {2, 1}, 3}));
  EXPECT_EQ(*again.Find({" x ", "y"}), (TCsvColumns{1, {0}, 0}));
  EXPECT_FALSE(again.Find({"Frage", "A1"}).has_value());
  EXPECT_EQ(again.Text(), memory.Text());
}
