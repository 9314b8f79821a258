#include "questions/core/SearchHit.h"

#include <vector>

#include "base/core/Cp1252.h"
#include "base/core/UnicodeText.h"

namespace proctorium {

TSearchHit LocateSearchHit(const TQuestion& question, const std::string& text, TTextEncoding encoding) {
  TSearchHit hit;
  if (text.empty()) return hit;
  std::vector<const std::string*> fields{&question.Text};
  for (const std::string& a : question.Answers) fields.push_back(&a);
  fields.push_back(&question.Remarks);
  // The fields joined in UTF-8, and for each byte of that the field and the
  // stored character it came from, so a hit found in folded text can be
  // shown where it is.
  struct Source {
    std::size_t Field, Begin, End;
  };
  std::string joined;
  std::vector<Source> sources;
  for (std::size_t f = 0; f < fields.size(); ++f) {
    const std::string& stored = *fields[f];
    if (encoding == TTextEncoding::Utf8) {
      for (std::size_t i = 0; i < stored.size();) {
        std::size_t end = i + 1;
        while (end < stored.size() && (static_cast<unsigned char>(stored[end]) & 0xC0) == 0x80) ++end;
        joined.append(stored, i, end - i);
        sources.insert(sources.end(), end - i, Source{f, i, end});
        i = end;
      }
    } else {
      for (std::size_t i = 0; i < stored.size(); ++i) {
        const std::size_t before = joined.size();
        AppendUtf8(joined, Cp1252ToUnicode(static_cast<unsigned char>(stored[i])));
        sources.insert(sources.end(), joined.size() - before, Source{f, i, i + 1});
      }
    }
  }
  std::vector<std::size_t> origin;
  const std::string hay = FoldCase(joined, &origin);
  const std::string needle = FoldCase(text);
  const std::size_t at = hay.find(needle);
  if (at == std::string::npos || needle.empty()) return hit;
  const Source& first = sources[origin[at]];
  const Source& last = sources[origin[at + needle.size() - 1]];
  const std::size_t field = first.Field;
  hit.Field = field == 0 ? THitField::Text : field + 1 == fields.size() ? THitField::Remarks : THitField::Answer;
  hit.Answer = hit.Field == THitField::Answer ? static_cast<int>(field - 1) : 0;
  hit.Offset = first.Begin;
  hit.Length = (last.Field == field ? last.End : fields[field]->size()) - first.Begin;
  return hit;
}

}  // namespace proctorium
