// The uniform random source: a fixed SplitMix64 generator, so a seeded game replays anywhere.
#pragma once

#include <cstdint>
#include <deque>

namespace tilerush {

class RandomSource {
 public:
  void seed(std::uint64_t state) { state_ = state; }
  // Values handed out before the generator's own, in order; each must lie in [0, 1).
  void queue(float value) { queued_.push_back(value); }
  std::size_t queuedCount() const { return queued_.size(); }

  // A uniform draw in [0, 1); never 1.0.
  float draw();

 private:
  std::uint64_t state_ = 0;
  std::deque<float> queued_;
};

}  // namespace tilerush
