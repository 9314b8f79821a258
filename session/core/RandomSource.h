#pragma once
// The generator behind the question and answer shuffles. The program
// reseeds it from the time of day before each shuffle; tests pin it to a
// seed so the shuffles they check come out the same on every run.

#include <cstdint>
#include <random>

namespace proctorium {

class TRandomSource {
 public:
  TRandomSource();

  // Uniform draw from 1..upper (upper itself included); 1 when upper < 1.
  int Draw(int upper);
  // Reseeds from the time of day. The time is mixed with the current state
  // rather than replacing it, so two shuffles within the same millisecond
  // still differ. Does nothing while the source is pinned.
  void SeedFromTimeOfDay();
  // Pins the source to a fixed seed: later SeedFromTimeOfDay calls are
  // ignored, so the whole sequence of draws follows from the seed.
  void Pin(std::uint64_t seed);
  void Unpin() { Pinned_ = false; }
  bool Pinned() const { return Pinned_; }

 private:
  std::mt19937_64 Engine_;
  bool Pinned_ = false;
};

// The one source the test window shuffles with.
TRandomSource& SessionRandom();

}  // namespace proctorium
