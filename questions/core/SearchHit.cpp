#include "questions/core/SearchHit.h"
#include "base/core/Ascii.h"

#include <vector>

namespace proctorium {

TSearchHit LocateSearchHit(const TQuestion& question, const std::string& text) {
  TSearchHit hit;
  if (text.empty()) return hit;
  std::vector<const std::string*> fields{&question.Text};
  for (const std::string& a : question.Answers) fields.push_back(&a);
  fields.push_back(&question.Remarks);
  std::string hay;
  for (const std::string* f : fields) AppendUpperAscii(hay, *f);
  const std::size_t at = hay.find(UpperAscii(text));
  if (at == std::string::npos) return hit;
  std::size_t start = 0;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const std::size_t size = fields[i]->size();
    if (at < start + size) {
      hit.Field = i == 0 ? THitField::Text : i + 1 == fields.size() ? THitField::Remarks : THitField::Answer;
      hit.Answer = hit.Field == THitField::Answer ? static_cast<int>(i - 1) : 0;
      hit.Offset = at - start;
      hit.Length = std::min(text.size(), size - hit.Offset);
      return hit;
    }
    start += size;
  }
  return hit;
}

}  // namespace proctorium
