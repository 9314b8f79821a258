#include "session/core/LogLines.h"

#include <utility>

namespace proctorium {

void TLogLines::Add(std::size_t begin, std::size_t end) {
  Lines_.push_back({begin, end});
  if (end - begin > Lines_[Longest_].End - Lines_[Longest_].Begin) Longest_ = Lines_.size() - 1;
}

void TLogLines::Assign(std::string bytes) {
  Clear();
  Bytes_ = std::move(bytes);
  // A log entry is three lines of about 45 bytes on average; reserving for
  // that saves the vector's regrowth on a log of hundreds of thousands.
  Lines_.reserve(Bytes_.size() / 40 + 1);
  const char* const data = Bytes_.data();
  const std::size_t size = Bytes_.size();
  std::size_t begin = 0;
  for (std::size_t i = 0; i < size; ++i) {
    const char c = data[i];
    if (c != '\r' && c != '\n') continue;
    Add(begin, i);
    if (c == '\r' && i + 1 < size && data[i + 1] == '\n') ++i;
    begin = i + 1;
  }
  if (begin < size) Add(begin, size);
}

void TLogLines::Append(std::string_view line) {
  // The break goes before the new line rather than after it, so a text
  // whose last line has none is never joined to what comes next.
  if (!Bytes_.empty() && Bytes_.back() != '\n' && Bytes_.back() != '\r') Bytes_ += "\r\n";
  const std::size_t begin = Bytes_.size();
  Bytes_.append(line);
  Add(begin, Bytes_.size());
  Bytes_ += "\r\n";
}

void TLogLines::Clear() {
  Bytes_.clear();
  Lines_.clear();
  Longest_ = 0;
}

}  // namespace proctorium
