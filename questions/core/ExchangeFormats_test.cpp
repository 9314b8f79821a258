// What each format refuses, what it skips and what it changes, by line.
#include <gtest/gtest.h>

#include <tuple>
#include <utility>

#include "questions/core/HtmlText.h"
#include "questions/core/QuestionExchange.h"

using namespace proctorium;

namespace {

std::string Notes(const std::vector<TImportNote>& notes) {
  std::string s;
  for (const TImportNote& n : notes) s += std::to_string(n.Line) + ": " + n.Reason + "\n";
  return s;
}

}  // namespace

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
      {TExchangeFormat::Aiken,
       "Q?\nA. x\nANSWER: C\n\nWhat \xE2\x9C\x93 or \xE2\x88\x91?\nA. \xE2\x9C\x93\nANSWER: A\n", 0,
       "1: ANSWER: C names no answer\n5: characters a set cannot store: \xE2\x9C\x93 \xE2\x88\x91\n", ""},
      {TExchangeFormat::Gift, "Q {~%30%a ~%70%b ~c}\n\nQ {#3:1}\n\nQ {=a =b}\n\nQ {=a -> b =c -> d}\n\nJust text.", 1,
       "3: numerical question, not multiple choice\n5: short-answer question, not multiple choice\n"
       "7: matching question, not multiple choice\n9: a description without answers, not a question\n",
       "1: partial-credit weights; here all correct answers must be ticked\n"},
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
  const std::tuple<int, size_t, std::string> cases[] = {
      {250, 250, "250 questions will be added; 10 questions skipped: line 252: a set holds at most 250 questions;"},
  };
  for (const auto& [room, taken, summary] : cases) {
    TImportResult r = ImportQuestions(TExchangeFormat::Csv, csv, "in.csv");
    LimitToRoom(r, room);
    EXPECT_EQ(r.Questions.size(), taken);
    EXPECT_EQ(ImportSummary(r).substr(0, summary.size()), summary);
    EXPECT_EQ(SetOfQuestions(r, "d").LastIndex, static_cast<int>(taken));
  }
}

TEST(HtmlText, PlainTextOfHtmlAndBack) {
  const std::pair<std::string, std::string> cases[] = {
      {"<p>One</p><p>Two  <b>bold</b>\n text</p>", "One\nTwo bold text"},
      {"x &amp; y &lt; z &eacute;&#233;&#xE9; &nbsp;&nbsp;end &unknown;",
       "x & y < z \xC3\xA9\xC3\xA9\xC3\xA9   end &unknown;"},
      {"<script>alert(1)</script>Text<!-- hidden -->", "Text"},
  };
  for (const auto& [html, text] : cases) EXPECT_EQ(HtmlToText(html), text) << html;
  for (const std::string text : {"a  b", " lead", "trail ", "x\n\ny", "<tag> & \"q\"", "end\n"})
    EXPECT_EQ(HtmlToText(TextToHtml(text)), text) << text;
}
