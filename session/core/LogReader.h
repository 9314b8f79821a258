#pragma once
// Reads a long log from its end first: the last lines are what a reader
// looks for, so they are read at once, and the part before them is read
// and indexed piece by piece afterwards, while the window is already shown.
// Other seats only ever add to the end of the log, which leaves the part
// being read alone; a log emptied or replaced meanwhile is noticed
// (Changed), so the caller can read it anew instead of joining two texts.

#include <cstddef>
#include <string>

#include "session/core/LogLines.h"

namespace proctorium {

class TLogReader {
 public:
  // Reads about the last tailBytes of the log at path, from the start of a
  // line (further back when one line is longer). A missing log reads as
  // empty. Throws EFileError as ReadLog does.
  TLogReader(std::string path, std::size_t tailBytes);

  // The end of the log as read, from the start of a line; taken once.
  std::string TakeTail() { return std::move(Tail_); }

  // Whether all of the part before the tail has been read (at once when the
  // tail is the whole log).
  bool Done() const { return Next_ >= TailBegin_ || Changed_; }
  // Reads and indexes up to about bytes more of the part before the tail.
  // A failed read or a log that no longer begins as it did sets Changed.
  void ReadMore(std::size_t bytes);
  bool Changed() const { return Changed_; }
  // The lines before the tail, once Done without Changed.
  TLogLines TakeHead() { return std::move(Head_); }

 private:
  bool StillTheSameLog() const;

  std::string Path_;
  std::string Tail_;
  std::string TailStart_;  // the tail's first bytes, to tell the same log again
  unsigned long long Size_ = 0;
  std::size_t TailBegin_ = 0;
  std::size_t Next_ = 0;
  TLogLines Head_;
  bool Changed_ = false;
};

}  // namespace proctorium
