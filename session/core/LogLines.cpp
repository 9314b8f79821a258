#include "session/core/LogLines.h"

#include <utility>

namespace proctorium {

void TLogLines::TPart::Add(std::size_t begin, std::size_t end) {
  Spans.push_back({begin, end});
  if (end - begin > Length(Longest)) Longest = Spans.size() - 1;
}

void TLogLines::Scan(bool final) {
  const char* const data = Body_.Bytes.data();
  const std::size_t size = Body_.Bytes.size();
  std::size_t i = Scanned_;
  for (; i < size; ++i) {
    const char c = data[i];
    if (c != '\r' && c != '\n') continue;
    if (c == '\r') {
      if (i + 1 == size && !final) break;  // the LF may come with the next piece
      Body_.Add(LineBegin_, i);
      if (i + 1 < size && data[i + 1] == '\n') ++i;
    } else {
      Body_.Add(LineBegin_, i);
    }
    LineBegin_ = i + 1;
  }
  Scanned_ = i;
  if (final && LineBegin_ < size) {
    Body_.Add(LineBegin_, size);
    LineBegin_ = size;
  }
}

void TLogLines::Assign(std::string bytes) {
  Clear();
  Body_.Bytes = std::move(bytes);
  // A log entry is three lines of about 45 bytes on average; reserving for
  // that saves the vector's regrowth on a log of hundreds of thousands.
  Body_.Spans.reserve(Body_.Bytes.size() / 40 + 1);
  Scan(true);
}

void TLogLines::Feed(std::string_view bytes) {
  Body_.Bytes.append(bytes);
  Scan(false);
}

void TLogLines::Finish() { Scan(true); }

void TLogLines::Append(std::string_view line) {
  Finish();
  // The break goes before the new line rather than after it, so a text
  // whose last line has none is never joined to what comes next.
  std::string& bytes = Body_.Bytes;
  if (!bytes.empty() && bytes.back() != '\n' && bytes.back() != '\r') bytes += "\r\n";
  const std::size_t begin = bytes.size();
  bytes.append(line);
  Body_.Add(begin, bytes.size());
  bytes += "\r\n";
  Scanned_ = LineBegin_ = bytes.size();
}

void TLogLines::Prepend(TLogLines&& head) {
  head.Finish();
  if (head.Empty()) return;
  if (head.Head_.Spans.empty() && Head_.Spans.empty()) {
    Head_ = std::move(head.Body_);
    return;
  }
  // A third part is never shown; should one come, the lines are copied
  // into one text rather than the lookup growing a case.
  TLogLines all;
  for (std::size_t i = 0; i < head.Count(); ++i) all.Append(head.Line(i));
  for (std::size_t i = 0; i < Count(); ++i) all.Append(Line(i));
  *this = std::move(all);
}

std::size_t TLogLines::LongestLine() const {
  if (Empty()) return 0;
  if (Head_.Spans.empty()) return Body_.Longest;
  if (Body_.Spans.empty()) return Head_.Longest;
  return Body_.Length(Body_.Longest) > Head_.Length(Head_.Longest) ? Head_.Spans.size() + Body_.Longest : Head_.Longest;
}

void TLogLines::Clear() {
  Head_ = TPart();
  Body_ = TPart();
  Scanned_ = LineBegin_ = 0;
}

}  // namespace proctorium
