#pragma once
// Question sets and settings for tests, built without any toolkit.

#include <string>

#include "base/core/OptionsFile.h"
#include "questions/core/QuestionSet.h"

namespace proctorium::testkit {

// A set with a description and n simple questions ("Question i", answers
// "Answer i.A", "Answer i.B" ..., A correct).
TQuestionSet MakeSet(int questions, const std::string& description = "A test set");

// The set's records 0..LastIndex in the old file format: a 32-bit count,
// then the texts stored plainly.
std::string OldFormatBytes(const TQuestionSet& set);

// Settings with every flag, the time mode and the numbers turned away from
// the defaults, so a field read from the wrong place shows.
TOptionsRecord TurnedOptions(const std::string& password = "");

}  // namespace proctorium::testkit
