#pragma once
// Question sets for tests, built without any toolkit.

#include <string>

#include "questions/core/QuestionSet.h"

namespace proctorium::testkit {

// A set with a description and n simple questions ("Question i", answers
// "Answer i.A", "Answer i.B" ..., A correct).
TQuestionSet MakeSet(int questions, const std::string& description = "A test set");

// The set's records 0..LastIndex in the old file format: a 32-bit count,
// then the texts stored plainly.
std::string OldFormatBytes(const TQuestionSet& set);

}  // namespace proctorium::testkit
