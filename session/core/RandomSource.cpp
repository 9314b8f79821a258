#include "session/core/RandomSource.h"

#include <chrono>

namespace proctorium {

namespace {

std::uint64_t MillisecondsOfDay() {
  using namespace std::chrono;
  const auto now = system_clock::now();
  const auto day = floor<days>(now);
  return static_cast<std::uint64_t>(duration_cast<milliseconds>(now - day).count());
}

}  // namespace

TRandomSource::TRandomSource() { Engine_.seed(MillisecondsOfDay()); }

int TRandomSource::Draw(int upper) {
  if (upper <= 1) return 1;
  // Rejection keeps the draw exactly uniform; a plain modulo would favour
  // the low values slightly.
  const std::uint64_t n = static_cast<std::uint64_t>(upper);
  const std::uint64_t limit = Engine_.max() - (Engine_.max() % n);
  std::uint64_t v;
  do {
    v = Engine_();
  } while (v >= limit);
  return static_cast<int>(v % n) + 1;
}

void TRandomSource::SeedFromTimeOfDay() {
  if (Pinned_) return;
  std::seed_seq seq{static_cast<std::uint32_t>(MillisecondsOfDay()), static_cast<std::uint32_t>(Engine_()),
                    static_cast<std::uint32_t>(Engine_() >> 32)};
  Engine_.seed(seq);
}

void TRandomSource::Pin(std::uint64_t seed) {
  Engine_.seed(seed);
  Pinned_ = true;
}

TRandomSource& SessionRandom() {
  static TRandomSource source;
  return source;
}

}  // namespace proctorium
