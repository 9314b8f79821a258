#include "questions/core/AikenFormat.h"
#include "base/core/Ascii.h"

#include <sstream>

#include "base/core/Cp1252.h"

namespace proctorium {

namespace {

// "B. text", "B) text" or "B)text" (the platform's importer needs no space
// either): the label's index, or -1.
int AnswerLine(const std::string& line, std::string& text) {
  if (line.size() < 2 || line[0] < 'A' || line[0] > 'Z' || (line[1] != '.' && line[1] != ')')) return -1;
  text = Trim(line.substr(2));
  return line[0] - 'A';
}

bool AnswerKey(const std::string& line, std::string& key) {
  if (line.size() < 7) return false;
  std::string head = line.substr(0, 7);
  head = UpperAscii(head);
  if (head != "ANSWER:") return false;
  key = Trim(line.substr(7));
  return true;
}

}  // namespace

TImportResult ReadAiken(const std::string& bytes, const std::string& fileName, int room) {
  TImportResult result;
  result.Room = room;
  std::istringstream in(ToLf(DecodeText(bytes)));
  std::string raw;
  int lineNo = 0;
  TQuestionDraft d;
  std::string labels;  // the labels as written, once one is out of order
  enum { Between, InText, InAnswers } state = Between;
  while (std::getline(in, raw)) {
    ++lineNo;
    const std::string line = Trim(raw);
    std::string text, key;
    if (line.empty()) {
      if (state == InAnswers) throw EImportError(fileName, lineNo, "blank line before the ANSWER: line");
      if (state == InText) throw EImportError(fileName, d.Line, "question without answers");
      continue;
    }
    if (AnswerKey(line, key)) {
      if (state != InAnswers) throw EImportError(fileName, lineNo, "ANSWER: line without answers before it");
      if (key.size() != 1 || key[0] < 'A' || key[0] > 'Z')
        throw EImportError(fileName, lineNo, "ANSWER: must name one letter, not \"" + key + "\"");
      // The key counts answers by position, whatever their labels say, as
      // the learning platform's importer reads it.
      const int k = key[0] - 'A';
      if (d.Answers.size() < 2) {
        Skip(result, d.Line, "only one answer; a question needs at least two");
      } else if (k >= static_cast<int>(d.Answers.size())) {
        Skip(result, d.Line, "ANSWER: " + key + " names no answer");
      } else {
        d.Correct.assign(d.Answers.size(), false);
        d.Correct[static_cast<size_t>(k)] = true;
        if (AddDraft(result, d) && !labels.empty())
          Change(result, d.Line,
                 "answer labels " + Trim(labels) + " are out of order; ANSWER: " + key +
                     " taken by position as answer " + std::to_string(k + 1) + ", \"" +
                     d.Answers[static_cast<size_t>(k)] + "\"");
      }
      d = TQuestionDraft();
      labels.clear();
      state = Between;
      continue;
    }
    const int index = AnswerLine(line, text);
    if (state == InAnswers) {
      if (index < 0)
        throw EImportError(fileName, lineNo,
                           "expected answer " + Letter(static_cast<int>(d.Answers.size())) + " or the ANSWER: line");
      if (index != static_cast<int>(d.Answers.size()) && labels.empty())
        for (size_t k = 0; k < d.Answers.size(); ++k) labels += Letter(static_cast<int>(k)) + " ";
      if (!labels.empty()) labels += Letter(index) + " ";
      d.Answers.push_back(text);
      continue;
    }
    if (state == InText && index == 0) {
      d.Answers.push_back(text);
      state = InAnswers;
      continue;
    }
    if (state == Between) {
      if (StopAtRoom(result, lineNo)) return result;
      d.Line = lineNo;
      d.Text = line;
      state = InText;
    } else {
      d.Text += "\n" + line;
    }
  }
  if (state == InText) throw EImportError(fileName, d.Line, "question without answers");
  if (state == InAnswers) throw EImportError(fileName, lineNo, "the last question has no ANSWER: line");
  return result;
}

TExportResult WriteAiken(const TQuestionSet& set) {
  TExportResult out;
  auto oneLine = [&set](const std::string& stored, bool& joined) {
    std::string s = set.ToUtf8(stored);
    std::string r;
    for (char c : ToLf(s)) {
      if (c == '\n') {
        joined = true;
        r.push_back(' ');
      } else {
        r.push_back(c);
      }
    }
    return r;
  };
  for (int i = 1; i <= set.LastIndex; ++i) {
    const TQuestion& q = set.Questions[static_cast<size_t>(i)];
    int used = 0;
    for (int a = 0; a < AnswerCount; ++a)
      if (!q.Answers[static_cast<size_t>(a)].empty()) used = a + 1;
    const AnswerMask inUse = static_cast<AnswerMask>((1u << used) - 1);
    const AnswerMask m = q.CorrectMask & inUse;
    if ((q.AnswerType != TAnswerType::Single) || m == 0 || (m & (m - 1)) != 0) {
      out.Notes.push_back({i, (q.AnswerType != TAnswerType::Single) ? "a multiple-answer question; left out"
                              : m == 0                              ? "no correct answer; left out"
                                                                    : "several correct answers; left out"});
      continue;
    }
    bool joined = false;
    // A blank line would end the question early: such lines are left out.
    std::istringstream lines(ToLf(set.ToUtf8(q.Text)));
    std::string line, text;
    bool blank = false;
    while (std::getline(lines, line)) {
      if (Trim(line).empty()) {
        blank = blank || !text.empty();
        continue;
      }
      text += Trim(line) + "\r\n";
    }
    if (text.empty()) text = "(no text)\r\n";
    out.Bytes += text;
    int correct = 0;
    for (int a = 0; a < used; ++a) {
      out.Bytes += Letter(a) + ". " + oneLine(q.Answers[static_cast<size_t>(a)], joined) + "\r\n";
      if (m & (1u << a)) correct = a;
    }
    out.Bytes += "ANSWER: " + Letter(correct) + "\r\n\r\n";
    ++out.Written;
    if (joined) out.Notes.push_back({i, "line breaks in answers written as spaces"});
    if (blank) out.Notes.push_back({i, "blank lines in the question left out"});
  }
  return out;
}

}  // namespace proctorium
