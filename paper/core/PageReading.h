#pragma once
// What the scan reader made of one scanned page, before the teacher's review.
// Nothing here is scored: the review turns accepted readings into results.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "paper/core/SheetCode.h"

namespace proctorium {

enum class TBoxMark { Empty, Marked, Doubtful };

enum class TPageStatus { Read, Doubtful, Failed };

enum class TPageFailure {
  None,
  NotAnImage,       // the file or page could not be decoded
  NoQr,             // no code of ours found
  WrongSet,         // the code names another set or job
  UnknownVersion,   // the job has no such version or sheet
  CornersNotFound,  // the corner marks could not be located
  DuplicateId,      // another page of the batch has the same candidate and sheet
  NotAnswerSheet,   // a page with no sheet on it
  TooLarge,         // refused before decoding, to keep memory bounded
};

struct TPageReading {
  std::string Source;  // the scanned file
  int Page = 0;        // page within that file, from 0
  TPageStatus Status = TPageStatus::Failed;
  TPageFailure Failure = TPageFailure::None;
  std::string Reason;  // for the teacher, names the page
  std::optional<TSheetCode> Code;
  // Maps page units (points) onto the scan's pixels: a row-major 3 x 3
  // homography, so the review can draw each box where the reader looked.
  std::array<double, 9> PageToImage{};
  // Per ID digit column, the ten boxes 0..9; per row, the boxes A..
  std::vector<std::array<TBoxMark, 10>> IdMarks;
  std::vector<std::vector<TBoxMark>> Answers;
  // The candidate ID as read: a digit per column, '?' where a column is
  // doubtful or has no single mark.
  std::string CandidateId;
  // A hash of the page's pixels (PaperContentHash), so that the same image
  // scanned or chosen twice is told; 0 when the reader did not make one.
  std::uint64_t ImageHash = 0;
};

}  // namespace proctorium
