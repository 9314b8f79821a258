#pragma once
// The rules of one test over one question set, kept apart from the window
// that shows it: the order of the questions and of each question's
// answers, the responses, the score, the review list and the result lines.
// Everything is indexed from 1 like the set's questions; masks are in
// display-slot order (bit k-1 = the k-th answer row on screen).

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "questions/core/QuestionSet.h"
#include "session/core/RandomSource.h"

namespace proctorium {

struct TQuestionState {
  AnswerMask DisplayCorrectMask = 0;
  AnswerMask Response = 0;
  bool Seen = false;
  bool Correct = true;
  bool Marked = false;
  // Part of this candidate's test: every question, or the ones drawn.
  bool InTest = true;
};

// How one seen question was answered, in the set's own answer letters (bit 0
// = answer A as stored), whatever order the answers were shown in.
struct TQuestionOutcome {
  std::int16_t Question = 0;  // set question number
  AnswerMask Offered = 0;     // the answers shown: every non-empty one
  AnswerMask Response = 0;
  AnswerMask CorrectAnswer = 0;
  bool Correct = false;

  bool operator==(const TQuestionOutcome&) const = default;
};

struct TScore {
  int Correct = 0;
  int Seen = 0;
  int Percent = 0;
};

class TTestSession {
 public:
  explicit TTestSession(TRandomSource& random = SessionRandom()) : Random_(random) {}

  bool ShuffleQuestions = false;
  // Score out of every question of the test, an unseen one counting as
  // wrong, instead of out of the questions seen.
  bool ScoreAll = false;
  // Questions drawn at random for this test; 0 (or as many as the set
  // holds) for all of them. Set before Start.
  int DrawCount = 0;
  std::array<std::uint8_t, MaxQuestions + 1> TakingOrder{};
  std::int32_t PositionCount = 0;
  std::int32_t CurrentPosition = 1;
  std::array<std::array<std::uint8_t, AnswerCount + 1>, MaxQuestions + 1> AnswerOrder{};
  std::array<TQuestionState, MaxQuestions + 1> QuestionStates{};
  bool HasIncorrect = false;

  // Sets up a fresh test over the questions of set: clears every answer
  // order and state and fixes the question order.
  void Start(const TQuestionSet& set);
  // Resets the states of positions 1..PositionCount and (re)builds the
  // question order, shuffled when ShuffleQuestions is on; with DrawCount,
  // over that many questions drawn from the set, in set order unless
  // shuffled.
  void InitTakingOrder();
  int QuestionCount() const { return QuestionCount_; }
  // How many questions this test asks: the drawn ones or the whole set.
  int TestSize() const;
  // Counts for the end-of-test question: unanswered and marked questions
  // of the test, seen or not.
  int Unanswered() const;
  int MarkedCount() const;

  std::uint8_t CurrentQuestionNumber() const { return TakingOrder[CurrentPosition]; }

  bool AnswerOrderBuilt(int q) const { return AnswerOrder[q][1] != 0; }
  // Answer order and DisplayCorrectMask of question q, whose first n
  // answers take part in a shuffle.
  void BuildAnswerOrder(int q, const TQuestion& question, int n);
  // Builds the order on the question's first display only.
  void EnsureAnswerOrder(int q, const TQuestion& question);
  // The answer (0-based index into Answers) shown in display slot k (1..8).
  int AnswerInSlot(int q, int k) const { return AnswerOrder[q][k] - 1; }

  void StoreResponse(int q, AnswerMask mask);

  TScore Score() const;
  // Sets HasIncorrect; with final and some wrong answer, also reduces the
  // positions to the review list.
  TScore UpdateScore(bool final);
  void BuildReviewList();

  // "Question 3 of 20", "Question 3 of 20 (Marked)", in review "Question 17",
  // for question q shown at the current position.
  std::string Title(int q, bool reviewMode) const;
  // In review: "Review 2 of 5 \x97 Question 13" (an em dash in
  // Windows-1252), so the reviewer sees how many wrong questions remain.
  std::string ReviewTitle(int q) const;
  // Items of the Goto list: the heading, then one per position.
  std::vector<std::string> GotoItems() const;
  // "Incorrect; 3; 12" in set-question order, or empty with none wrong.
  std::string IncorrectList() const;
  // One entry per question seen, in set-question order; set is the one the
  // test was started on.
  std::vector<TQuestionOutcome> Outcomes(const TQuestionSet& set) const;

 private:
  TRandomSource& Random_;
  int QuestionCount_ = 0;
};

// "7 of 9 Correct [77%]".
std::string ScoreText(const TScore& score);

// The three lines Save Results adds to the results log.
std::vector<std::string> ResultLines(const std::string& date, const std::string& setFileName, std::int32_t secondsTaken,
                                     const std::string& scoreText, const std::string& incorrect);

}  // namespace proctorium
