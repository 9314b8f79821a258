#pragma once
// Question sets for tests, built without any toolkit.

#include <string>

#include "questions/core/QuestionSet.h"

namespace proctorium::testkit {

// A set with a description and n simple questions ("Question i", answers
// "Answer i.A", "Answer i.B" ..., A correct).
TQuestionSet MakeSet(int questions, const std::string& description = "A test set");

}  // namespace proctorium::testkit
