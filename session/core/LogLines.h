#pragma once
// A text held as the bytes it was read as, with the offsets of its lines,
// so that a viewer can reach any line of a log of many megabytes without
// copying or converting the whole text.
//
// A line ends at CR LF, at a lone CR or at a lone LF (logs touched by other
// programs have all three); a break at the very end starts no line of its
// own, so "a\r\n" is one line and "" none.
//
// A long log is shown from its end before its beginning has been read: the
// text is then held in two parts, the beginning put in front of the end
// once it is known (Prepend), without copying either.

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

  // Builds a text from pieces as they are read: Feed adds bytes and finds
  // the lines they end (a CR at the very end waits for the next piece, as
  // it may be the first half of CR LF); Finish ends the last line.
  void Feed(std::string_view bytes);
  void Finish();

  // Puts the lines of head (a finished text) before these. Lines numbered
  // before move down by head's Count().
  void Prepend(TLogLines&& head);

  std::size_t Count() const { return Head_.Spans.size() + Body_.Spans.size(); }
  bool Empty() const { return Count() == 0; }
  // Line i (0-based, below Count()) without its break.
  std::string_view Line(std::size_t i) const {
    const std::size_t head = Head_.Spans.size();
    return i < head ? Head_.Line(i) : Body_.Line(i - head);
  }
  // The line with the most bytes (0 when there are none): a viewer measures
  // it to size its horizontal scroll range without measuring every line.
  std::size_t LongestLine() const;

 private:
  struct TSpan {
    std::size_t Begin;
    std::size_t End;
  };
  struct TPart {
    std::string Bytes;
    std::vector<TSpan> Spans;
    std::size_t Longest = 0;
    std::string_view Line(std::size_t i) const {
      return std::string_view(Bytes).substr(Spans[i].Begin, Spans[i].End - Spans[i].Begin);
    }
    std::size_t Length(std::size_t i) const { return Spans[i].End - Spans[i].Begin; }
    void Add(std::size_t begin, std::size_t end);
  };
  void Scan(bool final);

  TPart Head_;
  TPart Body_;
  std::size_t Scanned_ = 0;    // Body_ bytes looked at for breaks
  std::size_t LineBegin_ = 0;  // where Body_'s unfinished line begins
};

}  // namespace proctorium
