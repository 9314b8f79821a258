#pragma once
// A print job built by hand, with readings of its sheets filled as a
// candidate would: for testing what happens after the scan reader without
// printing or scanning anything.
//
// The set has five questions (answers, correct in the set's letters):
//   1: 4, B    2: 3, A    3: 5, A and D    4: 2, B    5: 4, C
// Version A prints them in the set's order on one sheet; version B in the
// order 3 1 5 2 4 with every answer order shuffled, on two sheets (three
// rows, then two).

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "paper/core/PageReading.h"
#include "paper/core/PaperJob.h"

namespace proctorium::testkit {

inline constexpr std::uint32_t SampleJobId = 0x1234abcd;
inline constexpr std::uint64_t SampleFingerprint = 0x0123456789abcdefull;

TPaperJob SamplePaperJob();

// Responses by set question, in the set's answer letters (bit 0 = A).
using TSetResponses = std::map<int, AnswerMask>;
// The set's own key, in the same form.
TSetResponses SampleKey();

// A reading of one sheet of a version, with the boxes of the responses
// marked, the ID's boxes filled on the first sheet, and the page mapped at
// 300 dpi.
TPageReading FillSheet(const TPaperJob& job, char version, int sheet, const TSetResponses& responses,
                       const std::string& candidateId, const std::string& source = "scan.pdf", int page = 0,
                       std::uint64_t imageHash = 0);

}  // namespace proctorium::testkit
