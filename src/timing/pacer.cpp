// Real nanoseconds into game milliseconds, with a ceiling on any one step.
#include "timing/pacer.h"

#include <algorithm>

namespace tilerush {

std::int64_t Pacer::step(std::int64_t realNs) {
  if (!lastNs_) {
    lastNs_ = realNs;
    carryNs_ = 0;
    return 0;
  }
  // An input stamped with the instant it was given may arrive after a wake-up that
  // ran past it: it takes effect now, and the time already run is not run again.
  if (realNs <= *lastNs_) return 0;
  const std::int64_t elapsed = realNs - *lastNs_;
  lastNs_ = realNs;
  const std::int64_t ceiling = kMaxStepMs * kNsPerMs * rate_.game / rate_.real;
  const std::int64_t gameNs = std::min(elapsed * rate_.game / rate_.real + carryNs_, ceiling);
  carryNs_ = gameNs % kNsPerMs;
  return gameNs / kNsPerMs;
}

std::int64_t Pacer::realDelayNs(std::int64_t gameMs) const {
  const std::int64_t gameNs = std::max<std::int64_t>(gameMs * kNsPerMs - carryNs_, 0);
  return (gameNs * rate_.real + rate_.game - 1) / rate_.game;
}

void Pacer::setRate(Rate rate) {
  rate_ = rate;
  carryNs_ = 0;
}

}  // namespace tilerush
