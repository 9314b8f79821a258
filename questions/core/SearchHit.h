#pragma once
// Where in a question a search text was found, so the editor can show the
// match itself and not only the question that holds it.

#include <string>

#include "questions/core/QuestionSet.h"

namespace proctorium {

// The searched fields in the order the search joins them.
enum class THitField { Text, Answer, Remarks, None };

struct TSearchHit {
  THitField Field = THitField::None;
  int Answer = 0;  // 0 .. 7 for THitField::Answer
  // Byte offset and length within that field as the set holds it (see
  // TTextEncoding). A match that runs on into the next field is cut at the
  // end of the field where it starts.
  std::size_t Offset = 0;
  std::size_t Length = 0;
};

// The first match of text (UTF-8; letters in any case, see FoldCase) in
// the joined Text, Answers A..H and Remarks of question, whose texts are in
// encoding, as Search finds it.
TSearchHit LocateSearchHit(const TQuestion& question, const std::string& text, TTextEncoding encoding);

}  // namespace proctorium
