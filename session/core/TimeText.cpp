#include "session/core/TimeText.h"

#include <algorithm>
#include <cstdio>

namespace proctorium {

std::string FormatTime(std::int32_t seconds) {
  if (seconds < 0) seconds = 0;
  const std::int32_t h = seconds / 3600;
  const std::int32_t m = (seconds - h * 3600) / 60;
  const std::int32_t s = seconds - h * 3600 - m * 60;
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, ": %2.2d:%2.2d:%2.2d", h, m, s);
  return buffer;
}

std::int32_t TimeTaken(bool elapsedMode, std::int32_t limitMinutes, std::int32_t timerSeconds) {
  if (elapsedMode) return timerSeconds;
  return std::max<std::int32_t>(0, limitMinutes * 60 - std::max<std::int32_t>(timerSeconds, 0));
}

}  // namespace proctorium
