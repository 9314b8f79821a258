#pragma once
// What a candidate's report says, on paper or as PDF: who took which set,
// when, how long, the score and the result, and each question answered
// wrongly. The texts are made here, the pages drawn by the report printer.

#include <string>
#include <string_view>
#include <vector>

#include "candidates/core/Gradebook.h"
#include "questions/core/QuestionSet.h"
#include "session/core/DetailLog.h"

namespace proctorium {

struct TReportLine {
  enum TKind { Title, Field, Heading, Question, Detail, Note } Kind = Field;
  std::string Text;  // UTF-8

  bool operator==(const TReportLine&) const = default;
};

// One question of a saved test as the candidate answered it.
struct TAnswerRow {
  int Question = 0;
  std::string Given;  // "AC"; empty when nothing was ticked
  std::string Key;    // the correct answers
  bool Correct = false;
};

std::vector<TAnswerRow> AnswerRows(const TDetailTest& test);

// The test with testId in the detail log's bytes; false when it is not
// there. Only the lines that name the test are parsed, so a log of years
// answers at once.
bool FindDetailTest(std::string_view detailLog, const std::string& testId, TDetailTest& test);

// The report of one saved test. detail is the test's record in the detail
// log (null when it is not there); set is the set file as it is now, used
// for the questions' texts and references only when it is still the set
// the test was taken on (null when it could not be read). With
// showAnswers off (the administrator's "enable answers") the report names
// the wrongly answered questions and nothing more.
std::vector<TReportLine> CandidateReport(const TGradebookEntry& entry, const TDetailTest* detail,
                                         const TQuestionSet* set, bool showAnswers);

// The lines as plain text, one a line: what the report says, for a test or
// a preview.
std::string ReportText(const std::vector<TReportLine>& lines);

}  // namespace proctorium
