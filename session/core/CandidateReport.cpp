#include "session/core/CandidateReport.h"

#include "base/core/Cp1252.h"

#include <utility>

namespace proctorium {

namespace {

std::string OrNone(const std::string& letters) { return letters.empty() ? "(none)" : letters; }

// A stored text on one line: the report gives each answer and reference a
// line of its own.
std::string OneLine(const std::string& utf8) {
  const std::string& text = utf8;
  std::string out;
  for (const char c : text) {
    if (c == '\r') continue;
    out += c == '\n' ? ' ' : c;
  }
  while (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

}  // namespace

std::vector<TAnswerRow> AnswerRows(const TDetailTest& test) {
  std::vector<TAnswerRow> rows;
  rows.reserve(test.Outcomes.size());
  for (const TQuestionOutcome& o : test.Outcomes)
    rows.push_back({o.Question, MaskLetters(o.Response), MaskLetters(o.CorrectAnswer), o.Correct});
  return rows;
}

bool FindDetailTest(std::string_view log, const std::string& testId, TDetailTest& test) {
  if (testId.empty()) return false;
  std::string lines;
  std::size_t at = 0;
  while ((at = log.find(testId, at)) != std::string_view::npos) {
    std::size_t begin = log.rfind('\n', at);
    begin = begin == std::string_view::npos ? 0 : begin + 1;
    std::size_t end = log.find('\n', at);
    end = end == std::string_view::npos ? log.size() : end + 1;
    lines.append(log.substr(begin, end - begin));
    if (lines.back() != '\n') lines += "\r\n";
    at = end;
  }
  for (TDetailTest& t : ReadDetailLog(lines))
    if (t.TestId == testId) {
      test = std::move(t);
      return true;
    }
  return false;
}

std::vector<TReportLine> CandidateReport(const TGradebookEntry& e, const TDetailTest* detail, const TQuestionSet* set,
                                         bool showAnswers) {
  std::vector<TReportLine> out;
  const auto add = [&out](TReportLine::TKind kind, std::string text) { out.push_back({kind, std::move(text)}); };
  add(TReportLine::Title, "Test report: " + (e.CandidateName.empty() ? std::string("(no name)") : e.CandidateName));
  add(TReportLine::Field, "Name: " + e.CandidateName);
  add(TReportLine::Field, "ID: " + e.CandidateId);
  add(TReportLine::Field, "Set: " + e.SetFile);
  add(TReportLine::Field, "Date: " + e.DateTime);
  add(TReportLine::Field, "Time taken: " + GradebookTime(e.SecondsTaken));
  add(TReportLine::Field, "Score: " + std::to_string(e.Correct) + " of " +
                              std::to_string(e.ScoreRule == ScoreRuleAll ? e.QuestionsInSet : e.QuestionsSeen) +
                              " correct (" + std::to_string(e.Percent) + "%)");
  add(TReportLine::Field, "Result: " + (e.Result.empty() ? std::string("no pass mark set") : e.Result));
  if (!detail) {
    add(TReportLine::Note, "The answers of this test are not in the detail log.");
    return out;
  }
  std::vector<int> wrong;
  for (const TQuestionOutcome& o : detail->Outcomes)
    if (!o.Correct) wrong.push_back(o.Question);
  if (wrong.empty()) {
    add(TReportLine::Heading, "Every question seen was answered correctly.");
    return out;
  }
  add(TReportLine::Heading, "Questions answered wrongly: " + std::to_string(wrong.size()));
  if (!showAnswers) {
    std::string numbers;
    for (const int q : wrong) numbers += (numbers.empty() ? "" : ", ") + std::to_string(q);
    add(TReportLine::Question, "Questions " + numbers);
    return out;
  }
  // The set as it is now says what the questions were only while it is
  // still the set that was taken: a changed set would show other questions.
  const bool sameSet = set && SetFingerprint(*set) == detail->Fingerprint;
  if (!sameSet)
    add(TReportLine::Note,
        "The set file is not the one this test was taken on: question texts and "
        "references are left out.");
  for (const TQuestionOutcome& o : detail->Outcomes) {
    if (o.Correct) continue;
    const TQuestion* q =
        sameSet && o.Question >= 1 && o.Question <= set->LastIndex ? &set->Questions[o.Question] : nullptr;
    add(TReportLine::Question,
        "Question " + std::to_string(o.Question) + (q && !q->Text.empty() ? ": " + OneLine(set->ToUtf8(q->Text)) : ""));
    add(TReportLine::Detail, "Answer given: " + OrNone(MaskLetters(o.Response)));
    add(TReportLine::Detail, "Correct answer: " + OrNone(MaskLetters(o.CorrectAnswer)));
    if (q && !OneLine(set->ToUtf8(q->Remarks)).empty())
      add(TReportLine::Detail, "Reference: " + OneLine(set->ToUtf8(q->Remarks)));
  }
  return out;
}

std::string ReportText(const std::vector<TReportLine>& lines) {
  std::string out;
  for (const TReportLine& l : lines) out += l.Text + "\n";
  return out;
}

}  // namespace proctorium
