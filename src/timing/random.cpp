// SplitMix64, taking the top 24 bits so that every draw is an exact float below 1.
#include "timing/random.h"

namespace tilerush {

float RandomSource::draw() {
  if (!queued_.empty()) {
    float value = queued_.front();
    queued_.pop_front();
    return value;
  }
  state_ += 0x9E3779B97F4A7C15ULL;
  std::uint64_t z = state_;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  z = z ^ (z >> 31);
  return static_cast<float>(z >> 40) * 0x1p-24f;
}

}  // namespace tilerush
