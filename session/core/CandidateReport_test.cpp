#include "session/core/CandidateReport.h"

#include <gtest/gtest.h>

#include <string>

using namespace proctorium;

namespace {

TQuestionSet Set() {
  TQuestionSet set;
  set.Add(TQuestion());  // record 0 describes the set
  for (int q = 1; q <= 3; ++q) {
    TQuestion question;
    question.Text = "Question text " + std::to_string(q) + "\r\nsecond line";
    question.Answers[0] = "yes";
    question.Answers[1] = "no";
    question.Answers[2] = "caf\xe9";
    question.CorrectMask = 1;
    question.Remarks = q == 2 ? "See chapter 2" : "";
    set.Add(question);
  }
  return set;
}

TDetailTest Detail(const TQuestionSet& set) {
  TDetailTest t;
  t.TestId = "t1";
  t.SetFile = "Quiz.qst";
  t.Fingerprint = SetFingerprint(set);
  t.QuestionsInSet = 3;
  t.Outcomes = {{1, 7, 1, 1, true}, {2, 7, 2, 1, false}, {3, 7, 0, 1, false}};
  return t;
}

TGradebookEntry Entry() {
  TGradebookEntry e;
  e.DateTime = "2026-12-07 09:15:00";
  e.CandidateName = "Zo\xc3\xab O'Neil";
  e.CandidateId = "S-17";
  e.SetFile = "Quiz.qst";
  e.QuestionsSeen = e.QuestionsInSet = 3;
  e.Correct = 1;
  e.Percent = 33;
  e.SecondsTaken = 754;
  e.Result = ResultNotPassed;
  e.TestId = "t1";
  return e;
}

// What the report says in each case the teacher meets: answers shown or
// not, the set changed since, the answers missing from the detail log.
TEST(CandidateReport, SaysWhoHowItWentAndEachWrongAnswer) {
  const TQuestionSet set = Set();
  TQuestionSet changed = Set();
  changed.Questions[1].CorrectMask = 2;
  const TDetailTest detail = Detail(set);
  const std::string head =
      "Test report: Zo\xc3\xab O'Neil\nName: Zo\xc3\xab O'Neil\nID: S-17\nSet: Quiz.qst\nDate: 2026-12-07 09:15:00\n"
      "Time taken: 0:12:34\nScore: 1 of 3 correct (33%)\nResult: Not passed\n";
  const struct {
    const char* Name;
    const TDetailTest* Detail;
    const TQuestionSet* Set;
    bool ShowAnswers;
    std::string Text;
  } cases[] = {
      {"answers shown", &detail, &set, true,
       head + "Questions answered wrongly: 2\n"
              "Question 2: Question text 2 second line\nAnswer given: B\nCorrect answer: A\nReference: See chapter 2\n"
              "Question 3: Question text 3 second line\nAnswer given: (none)\nCorrect answer: A\n"},
      {"answers hidden", &detail, &set, false, head + "Questions answered wrongly: 2\nQuestions 2, 3\n"},
      {"set changed since", &detail, &changed, true,
       head + "Questions answered wrongly: 2\nThe set file is not the one this test was taken on: question texts "
              "and references are left out.\nQuestion 2\nAnswer given: B\nCorrect answer: A\nQuestion 3\n"
              "Answer given: (none)\nCorrect answer: A\n"},
      {"set missing, answers hidden", &detail, nullptr, false,
       head + "Questions answered wrongly: 2\nQuestions 2, 3\n"},
      {"not in the detail log", nullptr, &set, true, head + "The answers of this test are not in the detail log.\n"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ReportText(CandidateReport(Entry(), c.Detail, c.Set, c.ShowAnswers)), c.Text) << c.Name;

  TDetailTest allRight = detail;
  for (TQuestionOutcome& o : allRight.Outcomes) o.Correct = true;
  TGradebookEntry anonymous = Entry();
  anonymous.CandidateName.clear();
  anonymous.Result.clear();
  EXPECT_EQ(ReportText(CandidateReport(anonymous, &allRight, &set, true)).substr(0, 25), "Test report: (no name)\nNa");
  const std::string text = ReportText(CandidateReport(anonymous, &allRight, &set, true));
  EXPECT_NE(text.find("Result: no pass mark set\n"), std::string::npos);
  EXPECT_NE(text.find("Every question seen was answered correctly.\n"), std::string::npos);
}

// A test is found by its id among others, whatever comes before or after
// it, and an id that is only a prefix of another finds nothing.
TEST(CandidateReport, FindsTheTestInTheDetailLog) {
  const TQuestionSet set = Set();
  TDetailTest one = Detail(set), two = Detail(set);
  two.TestId = "t12";
  two.Outcomes.pop_back();
  const std::string log = DetailLogRecords(two, true) + DetailLogRecords(one, false);
  TDetailTest found;
  ASSERT_TRUE(FindDetailTest(log, "t1", found));
  EXPECT_EQ(found.Outcomes, one.Outcomes);
  ASSERT_TRUE(FindDetailTest(log, "t12", found));
  EXPECT_EQ(found.Outcomes.size(), 2u);
  EXPECT_FALSE(FindDetailTest(log, "t", found));
  EXPECT_FALSE(FindDetailTest(log, "", found));
  const std::vector<TAnswerRow> rows = AnswerRows(one);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[1].Given + "/" + rows[1].Key + (rows[1].Correct ? " right" : " wrong"), "B/A wrong");
}

}  // namespace
