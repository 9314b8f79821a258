#pragma once
// A text held as the bytes it was read as, with the offsets of its lines,
// so that a viewer can reach any line of a log of many megabytes without
// copying or converting the whole text.
//
// A line ends at CR LF, at a lone CR or at a lone LF (logs touched by other
// programs have all three); a break at the very end starts no line of its
// own, so "a\r\n" is one line and "" none.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace proctorium {

class TLogLines {
 public:
  // Takes over the text and finds its lines.
  void Assign(std::string bytes);
  // Adds one line after the last, on a line of its own even when the text
  // ended without a break. The line is taken as it is (no break inside).
  void Append(std::string_view line);
  void Clear();

  std::size_t Count() const { return Lines_.size(); }
  bool Empty() const { return Lines_.empty(); }
  // Line i (0-based, below Count()) without its break.
  std::string_view Line(std::size_t i) const {
    return std::string_view(Bytes_).substr(Lines_[i].Begin, Lines_[i].End - Lines_[i].Begin);
  }
  // The line with the most bytes (0 when there are none): a viewer measures
  // it to size its horizontal scroll range without measuring every line.
  std::size_t LongestLine() const { return Longest_; }

 private:
  struct TSpan {
    std::size_t Begin;
    std::size_t End;
  };
  void Add(std::size_t begin, std::size_t end);

  std::string Bytes_;
  std::vector<TSpan> Lines_;
  std::size_t Longest_ = 0;
};

}  // namespace proctorium
