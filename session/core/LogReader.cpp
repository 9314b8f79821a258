#include "session/core/LogReader.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <utility>

#include "base/core/FileIO.h"
#include "session/core/ResultsLog.h"

namespace proctorium {

namespace {

// Reads count bytes at offset; false when the file is shorter or unreadable.
bool ReadAt(const std::string& path, unsigned long long offset, std::size_t count, std::string& out) {
  std::ifstream in(ToFsPath(path), std::ios::binary);
  if (!in) return false;
  out.resize(count);
  in.seekg(static_cast<std::streamoff>(offset));
  in.read(out.data(), static_cast<std::streamsize>(count));
  return in.gcount() == static_cast<std::streamsize>(count);
}

// Whether a line starts at p of text (p > 0 and below text.size()).
bool LineStartsAt(const std::string& text, std::size_t p) {
  const char before = text[p - 1];
  return before == '\n' || (before == '\r' && text[p] != '\n');
}

constexpr std::size_t CompareBytes = 4096;

}  // namespace

TLogReader::TLogReader(std::string path, std::size_t tailBytes) : Path_(std::move(path)) {
  RefuseLinkedLog(Path_);
  std::error_code ec;
  const auto status = std::filesystem::status(ToFsPath(Path_), ec);
  if (!std::filesystem::exists(status)) return;  // no log yet
  if (!std::filesystem::is_regular_file(status))
    throw EFileError("Cannot open file " + Path_ + ": it is not a regular file");
  Size_ = std::filesystem::file_size(ToFsPath(Path_), ec);
  if (ec) throw EFileError("Cannot open file " + Path_ + ": " + ec.message());
  if (Size_ > MaxLogBytes) throw EFileError("Cannot open file " + Path_ + ": the file is too large for a results log");
  const auto size = static_cast<std::size_t>(Size_);
  std::size_t want = std::max<std::size_t>(tailBytes, 1);
  for (;;) {
    // One byte more than the tail, to see whether a line starts where it is cut.
    const std::size_t from = size > want ? size - want - 1 : 0;
    std::string bytes;
    if (!ReadAt(Path_, from, size - from, bytes))
      throw EFileError("Cannot open file " + Path_ + ": " + SystemReason(errno ? errno : EIO));
    if (from == 0) {
      Tail_ = std::move(bytes);
      break;
    }
    std::size_t p = 1;
    while (p < bytes.size() && !LineStartsAt(bytes, p)) ++p;
    if (p < bytes.size()) {
      TailBegin_ = from + p;
      Tail_ = bytes.substr(p);
      break;
    }
    want *= 4;  // one line longer than the tail: look further back
  }
  TailStart_ = Tail_.substr(0, CompareBytes);
}

bool TLogReader::StillTheSameLog() const {
  std::error_code ec;
  const auto size = std::filesystem::file_size(ToFsPath(Path_), ec);
  if (ec || size < Size_) return false;
  std::string now;
  return ReadAt(Path_, TailBegin_, TailStart_.size(), now) && now == TailStart_;
}

void TLogReader::ReadMore(std::size_t bytes) {
  if (Done()) return;
  const std::size_t count = std::min(std::max<std::size_t>(bytes, 1), TailBegin_ - Next_);
  std::string piece;
  if (!ReadAt(Path_, Next_, count, piece)) {
    Changed_ = true;
    return;
  }
  Head_.Feed(piece);
  Next_ += count;
  // Checked at the end rather than on every piece: a log emptied and filled
  // again meanwhile would begin differently at the tail's place.
  if (Next_ >= TailBegin_) {
    Head_.Finish();
    if (!StillTheSameLog()) Changed_ = true;
  }
}

}  // namespace proctorium
