// Fuzz target: the question set loader must refuse any damaged image with
// an error and never read outside it; what it accepts must save and load
// back to the same set.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "questions/core/QuestionSet.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace proctorium;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  static TQuestionSet set;
  try {
    set.Parse(bytes, "fuzz.qst");
  } catch (const EFileError&) {
    return 0;
  }
  if (set.LastIndex < 0 || set.LastIndex > MaxQuestions || set.Current != 0) std::abort();
  TQuestionSet again;
  again.Parse(set.Serialize(), "again.qst");
  if (again.LastIndex != set.LastIndex || again.OwnerCode != set.OwnerCode) std::abort();
  for (int i = 0; i <= set.LastIndex; ++i)
    if (!(again.Questions[i] == set.Questions[i])) std::abort();
  for (int i = 0; i <= set.LastIndex; ++i) {
    set.SetCurrent(i);
    set.Search("A", true);
  }
  return 0;
}
