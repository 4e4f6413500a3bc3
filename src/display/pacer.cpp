// Real nanoseconds into game milliseconds, with a ceiling on any one step.
#include "display/pacer.h"

#include <algorithm>

namespace tilerush {

std::int64_t Pacer::step(std::int64_t realNs) {
  if (!lastNs_) {
    lastNs_ = realNs;
    carryNs_ = 0;
    return 0;
  }
  std::int64_t elapsed = std::max<std::int64_t>(realNs - *lastNs_, 0) + carryNs_;
  lastNs_ = realNs;
  if (elapsed > kMaxStepMs * kNsPerMs) elapsed = kMaxStepMs * kNsPerMs;
  carryNs_ = elapsed % kNsPerMs;
  return elapsed / kNsPerMs;
}

std::int64_t Pacer::realDelayNs(std::int64_t gameMs) const {
  return std::max<std::int64_t>(gameMs * kNsPerMs - carryNs_, 0);
}

}  // namespace tilerush
