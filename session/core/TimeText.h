#pragma once
// The clock's text and the time a test took.

#include <cstdint>
#include <string>

namespace proctorium {

// ": hh:mm:ss", each part at least two digits; hours are not wrapped at a
// day. A countdown that overran is shown as ": 00:00:00".
std::string FormatTime(std::int32_t seconds);

// Seconds a test took: the elapsed count, or the limit less what was left.
// A countdown never takes longer than its limit.
std::int32_t TimeTaken(bool elapsedMode, std::int32_t limitMinutes, std::int32_t timerSeconds);

}  // namespace proctorium
