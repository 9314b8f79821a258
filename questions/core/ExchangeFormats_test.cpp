// Each format's example file, and what each format refuses, skips and changes.
#include <gtest/gtest.h>

#include <tuple>
#include <utility>

#include "base/core/Cp1252.h"
#include "base/core/FileIO.h"
#include "questions/core/QuestionExchange.h"

using namespace proctorium;

namespace {

std::string Example(const std::string& name) {
  std::string bytes;
  ReadWholeFile(std::string(std::getenv("PROCTORIUM_SOURCE_DIR")) + "/questions/core/examples/" + name, bytes);
  return bytes;
}

// One question as a line: "text|answers|mask|type|shuffle|remarks".
std::string Show(const TQuestion& q) {
  std::string s = Cp1252ToUtf8(q.Text) + "|";
  for (const std::string& a : q.Answers)
    if (!a.empty()) s += Cp1252ToUtf8(a) + ";";
  return s + "|" + std::to_string(q.CorrectMask) + "|" + (q.AnswerType != TAnswerType::Single ? "M" : "S") + "|" +
         (q.RandomizeAnswers ? "R" : "-") + "|" + Cp1252ToUtf8(q.Remarks);
}

std::string Notes(const std::vector<TImportNote>& notes) {
  std::string s;
  for (const TImportNote& n : notes) s += std::to_string(n.Line) + ": " + n.Reason + "\n";
  return s;
}

}  // namespace

TEST(ExchangeExamples, EachFormatReadsItsExample) {
  // file; its questions, the notes on what was skipped and what changed
  const std::tuple<const char*, std::vector<std::string>, std::string, std::string> cases[] = {
      {"aiken.txt",
       {"What is the capital of France?|Berlin;Paris;Madrid;Rome;|2|S|R|",
        "Which gas do plants take in for photosynthesis?|Oxygen;Nitrogen;Carbon dioxide;|4|S|R|"},
       "",
       ""},
      {"questions.gift",
       {std::string(
            "Which organ pumps blood through the body?|The heart;The liver;The lungs;|1|S|R|See chapter 3, the "
            "circulatory system.\r\nA: Right: the heart is a muscular pump.\r\nB: No, the liver filters blood."),
        "Which of these are prime numbers?|2;3;4;9;|3|M|R|",
        "What does 1 = 1 { in braces } mean: a test of escapes?|Equality;Nothing;|1|S|R|",
        "The sun is a star.|True;False;|1|S|-|", "Which answer is best?|Best;Good;Bad;|3|M|R|"},
       "23: essay question, not multiple choice\n",
       "11: partial credit for A, B; here all of them must be ticked\n"
       "25: partial credit for A, B; here all of them must be ticked\n"},
      {"questions.xml",
       {"Which river flows through Cairo?|The Nile;The Danube;The Thames;|1|S|R|Atlas, page 12\r\nA: Yes.",
        "Which of these are continents?|Africa;Asia;Greenland;|3|M|-|",
        "Mount Everest is the highest mountain on Earth.|True;False;|1|S|-|"},
       "38: shortanswer question, not multiple choice\n",
       "23: partial credit for A, B; here all of them must be ticked\n"},
      {"questions.csv",
       {"What is 2 + 2?|3;4;5;|2|S|R|Arithmetic basics",
        "Which are colours of the French flag?|Blue;Green;White;Red;|13|M|-|Flag, 1794",
        "A question\r\non two lines with \"quotes\"|Yes;No;|1|S|R|"},
       "",
       ""},
  };
  for (const auto& [file, questions, skipped, changed] : cases) {
    SCOPED_TRACE(file);
    const TImportResult r = ImportQuestions(FormatOfFile(file), Example(file), file);
    std::vector<std::string> got;
    for (const TQuestion& q : r.Questions) got.push_back(Show(q));
    EXPECT_EQ(got, questions);
    EXPECT_EQ(Notes(r.Skipped), skipped);
    EXPECT_EQ(Notes(r.Changed), changed);
  }
}

TEST(ExchangeRefusals, BrokenFilesNameTheLine) {
  const std::tuple<TExchangeFormat, std::string, int, std::string> cases[] = {
      {TExchangeFormat::Aiken, "Q?\nA. x\nB. y\n", 3, "the last question has no ANSWER: line"},
      {TExchangeFormat::Gift, "// c\n\nQ {=a ~b\n\nmore", 3, "{ without }"},
      {TExchangeFormat::MoodleXml, "<quiz>\n\n<question>&bogus;</question></quiz>", 3, "unknown entity &bogus;"},
      {TExchangeFormat::MoodleXml, "<?xml version=\"1.0\"?>\n<!DOCTYPE q [<!ENTITY a \"b\">]><quiz/>", 2,
       "document type definitions are not accepted"},
      {TExchangeFormat::Csv, "question,A,B,correct\nq,\"a,b\n", 2, "quoted field without its closing quote"},
      {TExchangeFormat::Csv, "question,A,B\nq,a,b\n", 1, "the header has no column correct"},
  };
  for (const auto& [format, text, line, reason] : cases) {
    SCOPED_TRACE(text);
    try {
      ImportQuestions(format, text, "in.file");
      ADD_FAILURE() << "accepted";
    } catch (const EImportError& e) {
      EXPECT_EQ(e.Line, line);
      EXPECT_EQ(e.Reason, reason);
      EXPECT_EQ(std::string(e.what()).substr(0, 16), "in.file: line " + std::to_string(line) + ":");
    }
  }
}

TEST(ExchangeMisfits, AreReportedWithTheirLines) {
  // format, text; questions taken, the notes on what was skipped and what changed
  const std::tuple<TExchangeFormat, std::string, size_t, std::string, std::string> cases[] = {
      // Characters outside Windows-1252 no longer cost a question.
      {TExchangeFormat::Aiken,
       "Q?\nA. x\nB. y\nANSWER: C\n\nWhat \xE2\x9C\x93 or \xE2\x88\x91?\nA. \xE2\x9C\x93\nB. no\nANSWER: A\n", 1,
       "1: ANSWER: C names no answer\n", ""},
      {TExchangeFormat::MoodleXml,
       "<quiz><question type=\"multichoice\"><single>true</single><answer fraction=\"100\"><text>a</text></answer>"
       "<answer fraction=\"100\"><text>b</text></answer></question>\n<question type=\"essay\"/>\n"
       "<question type=\"multichoice\"><questiontext format=\"html\"><text>&lt;img src=\"@@PLUGINFILE@@/x.png\"&gt;"
       "</text></questiontext><answer fraction=\"100\"><text>a</text></answer></question></quiz>",
       2, "2: essay question, not multiple choice\n",
       "1: several answers give full marks; only A counts here\n3: picture x.png is not in the file\n"},
      {TExchangeFormat::Csv, "question,A,B,C,D,E,F,G,H,I,J,correct\nq,1,2,3,4,5,6,7,8,9,10,A\n", 0,
       "2: 10 answers, at most 8 fit\n", ""},
      {TExchangeFormat::Csv, "question;A;B;correct;type\nq;a;b;AB;single\nq;a;b;;\nq;a;b;X;\n", 1,
       "2: a single-answer question with 2 correct letters\n4: correct letters \"X\" are not A to H\n",
       "3: no correct answer marked\n"},
  };
  for (const auto& [format, text, taken, skipped, changed] : cases) {
    SCOPED_TRACE(text);
    const TImportResult r = ImportQuestions(format, text, "in");
    EXPECT_EQ(r.Questions.size(), taken);
    EXPECT_EQ(Notes(r.Skipped), skipped);
    EXPECT_EQ(Notes(r.Changed), changed);
  }
}

TEST(ExchangeLimit, ImportStopsAtTheRoomLeftAndSaysWhy) {
  std::string csv = "question,A,B,correct\n";
  for (int i = 1; i <= 260; ++i) csv += "Q" + std::to_string(i) + ",a,b,A\n";
  TImportResult r = ImportQuestions(TExchangeFormat::Csv, csv, "in.csv");
  LimitToRoom(r, 250);
  const std::string summary = "250 questions will be added; 10 questions skipped: line 252: a set holds at most 250";
  EXPECT_EQ(ImportSummary(r).substr(0, summary.size()), summary);
  EXPECT_EQ(SetOfQuestions(r, "d").LastIndex, 250);
}

// Given the room, each reader stops at the first question beyond it: what
// follows is not parsed at all (here it would be refused as broken), and
// one note names the line where reading stopped.
TEST(ExchangeLimit, ReadingStopsAtTheRoomWithoutParsingTheRest) {
  struct TCase {
    TExchangeFormat Format;
    std::string (*Question)(int);
    std::string Head, Broken;
    int FirstLine, LinesPerQuestion;
  };
  const TCase cases[] = {
      {TExchangeFormat::Gift, [](int i) { return "Q" + std::to_string(i) + "? {=a ~b}\n\n"; }, "", "Broken {=a\n", 1,
       2},
      {TExchangeFormat::Aiken, [](int i) { return "Q" + std::to_string(i) + "?\nA. a\nB. b\nANSWER: A\n\n"; }, "",
       "ANSWER: A\n", 1, 5},
      {TExchangeFormat::Csv, [](int i) { return "Q" + std::to_string(i) + "?,a,b,A\n"; }, "question,A,B,correct\n",
       "Q6,a,b,Z\n", 2, 1},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(FormatName(c.Format));
    std::string text = c.Head;
    for (int i = 1; i <= 5; ++i) text += c.Question(i);
    text += c.Broken;
    // Read whole, the broken end is refused or noted.
    const bool noticed = [&] {
      try {
        return !ImportQuestions(c.Format, text, "in").Skipped.empty();
      } catch (const EImportError&) {
        return true;
      }
    }();
    EXPECT_TRUE(noticed);
    const TImportResult r = ImportQuestions(c.Format, text, "in", 3);
    ASSERT_EQ(r.Questions.size(), 3u);
    EXPECT_EQ(Cp1252ToUtf8(r.Questions[2].Text), "Q3?");
    EXPECT_TRUE(r.Skipped.empty());
    const int fourth = c.FirstLine + 3 * c.LinesPerQuestion;
    EXPECT_EQ(r.UnreadFrom, fourth);
    EXPECT_EQ(UnreadNote(r), "line " + std::to_string(fourth) + " and all after it: a set holds at most 250 questions");
    EXPECT_NE(ImportSummary(r).find("; not read: line " + std::to_string(fourth)), std::string::npos);
    // Room enough for all: the whole file is read, as before.
    EXPECT_EQ(ImportQuestions(c.Format, c.Head + c.Question(1), "in", 3).UnreadFrom, 0);
  }
}

TEST(ExchangeLimit, XmlReadingStopsAtTheRoom) {
  std::string xml = "<quiz>\n";
  for (int i = 1; i <= 4; ++i)
    xml += "<question type=\"multichoice\"><questiontext><text>Q" + std::to_string(i) +
           "</text></questiontext><answer fraction=\"100\"><text>a</text></answer>"
           "<answer fraction=\"0\"><text>b</text></answer></question>\n";
  xml += "</quiz>\n";
  const TImportResult r = ImportQuestions(TExchangeFormat::MoodleXml, xml, "in.xml", 2);
  ASSERT_EQ(r.Questions.size(), 2u);
  EXPECT_EQ(r.UnreadFrom, 4);
}
