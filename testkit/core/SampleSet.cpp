#include "testkit/core/SampleSet.h"

namespace proctorium::testkit {

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

}  // namespace proctorium::testkit
