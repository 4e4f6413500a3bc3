// Keeps game time in step with real time for a front end with a real clock.
#pragma once

#include <cstdint>
#include <optional>

namespace tilerush {

inline constexpr std::int64_t kNsPerMs = 1'000'000;

// Game time runs with real time, in whole milliseconds, the fractions carried over.
// A wake-up that comes very late (a suspended laptop, a stalled desktop, a hidden
// browser tab) moves the game on by at most kMaxStepMs, a few ticks, instead of a
// burst of catch-up ticks: the rest is time that did not pass in the game, so a
// replay of what was played stays exact.
class Pacer {
 public:
  static constexpr std::int64_t kMaxStepMs = 100;

  // The game milliseconds to move on by at real instant `realNs` (nanoseconds from
  // any fixed origin). The first call starts the pacer and moves nothing.
  std::int64_t step(std::int64_t realNs);
  // Real nanoseconds from the last step until `gameMs` more game milliseconds are due.
  std::int64_t realDelayNs(std::int64_t gameMs) const;
  // Forgets the real time since the last step, as when a hidden page shows again.
  void restart() { lastNs_.reset(); }

 private:
  std::optional<std::int64_t> lastNs_;
  std::int64_t carryNs_ = 0;
};

}  // namespace tilerush
