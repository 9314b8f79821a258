#include "questions/core/SearchHit.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace proctorium;

namespace {

TQuestion Sample() {
  TQuestion q;
  q.Text = "Which layer\r\nroutes packets?";
  q.Answers[0] = "Physical";
  q.Answers[1] = "Network";
  q.Answers[3] = "Transport";  // C stays empty
  q.Remarks = "See the OSI model.";
  return q;
}

}  // namespace

TEST(SearchHit, FindsTheFieldAndPlaceOfTheFirstMatch) {
  // text; field, answer, offset and length of the hit
  const std::tuple<const char*, THitField, int, std::size_t, std::size_t> cases[] = {
      {"ROUTES", THitField::Text, 0, 13, 6},   // after the line break
      {"port", THitField::Answer, 3, 5, 4},    // past an empty answer
      {"?phys", THitField::Text, 0, 27, 1},    // runs on into answer A: cut at the end of the question
      {"calnet", THitField::Answer, 0, 5, 3},  // across answers A and B
  };
  for (const auto& [text, field, answer, offset, length] : cases) {
    SCOPED_TRACE(text);
    const TSearchHit hit = LocateSearchHit(Sample(), text);
    EXPECT_EQ(hit.Field, field);
    if (field == THitField::None) continue;
    EXPECT_EQ(hit.Answer, answer);
    EXPECT_EQ(hit.Offset, offset);
    EXPECT_EQ(hit.Length, length);
  }
}
