#include "session/core/TestSession.h"

#include <algorithm>
#include <array>
#include <utility>

#include "session/core/TimeText.h"

namespace proctorium {

void TTestSession::Start(const TQuestionSet& set) {
  QuestionCount_ = std::max(0, std::min<int>(set.LastIndex, MaxQuestions));
  ShuffleQuestions = set.LastIndex >= 0 && (set.Questions[0].CorrectMask & 1) != 0;
  PositionCount = QuestionCount_;
  CurrentPosition = 1;
  HasIncorrect = false;
  for (auto& order : AnswerOrder) order.fill(0);
  InitTakingOrder();
}

void TTestSession::InitTakingOrder() {
  if (DrawCount > 0) PositionCount = QuestionCount_;
  for (int i = 1; i <= PositionCount; ++i) {
    TakingOrder[i] = static_cast<std::uint8_t>(i);
    TQuestionState& s = QuestionStates[i];
    s.Response = 0;
    // Under the all-questions rule a question is wrong until answered right.
    s.Correct = !ScoreAll;
    s.Marked = false;
    s.Seen = false;
    s.InTest = true;
  }
  if (DrawCount > 0 && DrawCount < PositionCount) {
    // A partial shuffle picks the drawn questions; they keep set order
    // unless the set shuffles its questions too.
    Random_.SeedFromTimeOfDay();
    std::array<std::uint8_t, MaxQuestions + 1> pool = TakingOrder;
    for (int i = 1; i <= DrawCount; ++i) std::swap(pool[i], pool[i - 1 + Random_.Draw(PositionCount - i + 1)]);
    std::sort(pool.begin() + 1, pool.begin() + 1 + DrawCount);
    for (int q = 1; q <= PositionCount; ++q) QuestionStates[q].InTest = false;
    for (int i = 1; i <= DrawCount; ++i) {
      TakingOrder[i] = pool[i];
      QuestionStates[pool[i]].InTest = true;
    }
    for (int q = 1; q <= PositionCount; ++q)
      if (!QuestionStates[q].InTest) QuestionStates[q].Correct = true;
    PositionCount = DrawCount;
  }
  if (!ShuffleQuestions || PositionCount < 2) return;
  Random_.SeedFromTimeOfDay();
  for (int i = PositionCount; i >= 2; --i) std::swap(TakingOrder[i], TakingOrder[Random_.Draw(i)]);
}

void TTestSession::BuildAnswerOrder(int q, const TQuestion& question, int n) {
  auto& order = AnswerOrder[q];
  for (int k = 1; k <= AnswerCount; ++k) order[k] = static_cast<std::uint8_t>(k);
  if (question.RandomizeAnswers && n >= 2) {
    Random_.SeedFromTimeOfDay();
    for (int i = n; i >= 2; --i) std::swap(order[i], order[Random_.Draw(i)]);
  }
  AnswerMask display = 0;
  for (int k = 1; k <= AnswerCount; ++k)
    if (question.CorrectMask & (1u << (order[k] - 1))) display |= static_cast<AnswerMask>(1u << (k - 1));
  QuestionStates[q].DisplayCorrectMask = display;
}

void TTestSession::EnsureAnswerOrder(int q, const TQuestion& question) {
  if (!AnswerOrderBuilt(q)) BuildAnswerOrder(q, question, AnswersInUse(question));
}

void TTestSession::StoreResponse(int q, AnswerMask mask) {
  QuestionStates[q].Response = mask;
  QuestionStates[q].Correct = mask == QuestionStates[q].DisplayCorrectMask;
}

int TTestSession::TestSize() const {
  int n = 0;
  for (int q = 1; q <= QuestionCount_; ++q) n += QuestionStates[q].InTest ? 1 : 0;
  return n;
}

int TTestSession::Unanswered() const {
  int n = 0;
  for (int q = 1; q <= QuestionCount_; ++q) n += QuestionStates[q].InTest && QuestionStates[q].Response == 0 ? 1 : 0;
  return n;
}

int TTestSession::MarkedCount() const {
  int n = 0;
  for (int q = 1; q <= QuestionCount_; ++q) n += QuestionStates[q].InTest && QuestionStates[q].Marked ? 1 : 0;
  return n;
}

TScore TTestSession::Score() const {
  TScore score;
  for (int q = 1; q <= QuestionCount_; ++q) {
    if (!QuestionStates[q].InTest) continue;
    if (!ScoreAll && !QuestionStates[q].Seen) continue;
    ++score.Seen;
    if (QuestionStates[q].Correct) ++score.Correct;
  }
  // Integer arithmetic: exact, and truncated rather than rounded.
  score.Percent = score.Seen > 0 ? 100 * score.Correct / score.Seen : 0;
  return score;
}

TScore TTestSession::UpdateScore(bool final) {
  const TScore score = Score();
  HasIncorrect = score.Correct != score.Seen;
  if (final && HasIncorrect) BuildReviewList();
  return score;
}

void TTestSession::BuildReviewList() {
  int kept = 0;
  for (int i = 1; i <= PositionCount; ++i) {
    const int q = TakingOrder[i];
    if ((QuestionStates[q].Seen || ScoreAll) && !QuestionStates[q].Correct)
      TakingOrder[++kept] = static_cast<std::uint8_t>(q);
  }
  PositionCount = kept;
}

std::string TTestSession::Title(int q, bool reviewMode) const {
  std::string s =
      reviewMode ? std::to_string(q) : std::to_string(CurrentPosition) + " of " + std::to_string(PositionCount);
  if (QuestionStates[q].Marked) s += " (Marked)";
  return "Question " + s;
}

std::string TTestSession::ReviewTitle(int q) const {
  return "Review " + std::to_string(CurrentPosition) + " of " + std::to_string(PositionCount) + " \x97 " +
         Title(q, true);
}

std::vector<std::string> TTestSession::GotoItems() const {
  std::vector<std::string> items{"Select question:"};
  for (int i = 1; i <= PositionCount; ++i) {
    // Unanswered and marked are said in words, for a screen reader too.
    const TQuestionState& state = QuestionStates[TakingOrder[i]];
    std::string item = " " + std::to_string(i) + " ";
    if (state.Response == 0) item += "Unanswered";
    if (state.Marked) item += state.Response == 0 ? ", Marked" : "Marked";
    items.push_back(item);
  }
  return items;
}

std::string TTestSession::IncorrectList() const {
  if (!HasIncorrect) return {};
  std::string s = "Incorrect";
  for (int q = 1; q <= QuestionCount_; ++q)
    if (QuestionStates[q].InTest && !QuestionStates[q].Correct) s += "; " + std::to_string(q);
  return s;
}

std::vector<TQuestionOutcome> TTestSession::Outcomes(const TQuestionSet& set) const {
  std::vector<TQuestionOutcome> outcomes;
  for (int q = 1; q <= QuestionCount_; ++q) {
    const TQuestionState& s = QuestionStates[q];
    if (!s.Seen) continue;
    const TQuestion& question = set.Questions[q];
    TQuestionOutcome o;
    o.Question = static_cast<std::int16_t>(q);
    for (int a = 0; a < AnswerCount; ++a)
      if (!question.Answers[a].empty()) o.Offered |= static_cast<AnswerMask>(1u << a);
    // Slot k showed answer AnswerOrder[q][k]; an order never built is the
    // identity, since nothing was shuffled.
    for (int k = 1; k <= AnswerCount; ++k)
      if (s.Response & (1u << (k - 1))) {
        const int answer = AnswerOrderBuilt(q) ? AnswerOrder[q][k] : k;
        o.Response |= static_cast<AnswerMask>(1u << (answer - 1));
      }
    o.CorrectAnswer = question.CorrectMask;
    o.Correct = s.Correct;
    outcomes.push_back(o);
  }
  return outcomes;
}

std::string ScoreText(const TScore& score) {
  return std::to_string(score.Correct) + " of " + std::to_string(score.Seen) + " Correct [" +
         std::to_string(score.Percent) + "%]";
}

std::vector<std::string> ResultLines(const std::string& date, const std::string& setFileName, std::int32_t secondsTaken,
                                     const std::string& scoreText, const std::string& incorrect) {
  return {date + "  " + setFileName + "     Time taken" + FormatTime(secondsTaken),
          "   " + scoreText + "  " + incorrect, ""};
}

}  // namespace proctorium
