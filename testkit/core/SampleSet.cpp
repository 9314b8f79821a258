#include "testkit/core/SampleSet.h"

namespace proctorium::testkit {

namespace {

std::string Int32Le(std::uint32_t v) {
  std::string s;
  for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>(v >> (8 * i)));
  return s;
}

std::string Text(const std::string& s) { return Int32Le(static_cast<std::uint32_t>(s.size())) + s; }

}  // namespace

TQuestionSet MakeSet(int questions, const std::string& description) {
  TQuestionSet set;
  TQuestion d;
  d.Text = description;
  set.Add(d);
  for (int i = 1; i <= questions; ++i) {
    TQuestion q;
    q.Text = "Question " + std::to_string(i);
    for (int a = 0; a < 4; ++a) q.Answers[a] = "Answer " + std::to_string(i) + "." + static_cast<char>('A' + a);
    q.CorrectMask = 1;
    set.Add(q);
  }
  set.TimeStamp = 46000.5;
  set.OwnerCode = 0;
  set.ProtectedSet = false;
  set.Current = 0;
  return set;
}

std::string OldFormatBytes(const TQuestionSet& set) {
  std::string bytes = Int32Le(static_cast<std::uint32_t>(set.LastIndex));
  for (int i = 0; i <= set.LastIndex; ++i) {
    const TQuestion& q = set.Questions[static_cast<size_t>(i)];
    bytes += Text(q.Text);
    bytes.push_back(static_cast<char>(q.AnswerType));
    bytes.push_back(static_cast<char>(q.RandomizeAnswers));
    for (const auto& a : q.Answers) bytes += Text(a);
    bytes.push_back(static_cast<char>(q.CorrectMask));
    bytes += Text(q.Remarks) + Text(q.ExhibitFile);
  }
  return bytes;
}

TOptionsRecord TurnedOptions(const std::string& password) {
  TOptionsRecord o;
  o.ShowHints = false;
  o.DeletePermitted = true;
  o.EnableAnswers = false;
  o.AllowEdits = true;
  o.EnableClearResults = true;
  o.FontSize = 12;
  o.ScreenColour = 0x80000005u;
  o.AdminPassword = password;
  o.EnableRunningScore = false;
  o.TimeMode = TTimeMode::Countdown;
  o.CountdownMinutes = 45;
  return o;
}

}  // namespace proctorium::testkit
