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

  // How many game milliseconds pass in `real` real ones: 1/4 to 16 when a replay is
  // watched slowed down or sped up, 1/1 in play.
  struct Rate {
    int game = 1;
    int real = 1;
    bool operator==(const Rate&) const = default;
  };

  // The game milliseconds to move on by at real instant `realNs` (nanoseconds from
  // any fixed origin). The first call starts the pacer and moves nothing.
  std::int64_t step(std::int64_t realNs);
  // Real nanoseconds from the last step until `gameMs` more game milliseconds are due.
  std::int64_t realDelayNs(std::int64_t gameMs) const;
  // Forgets the real time since the last step, as when a hidden page shows again.
  void restart() { lastNs_.reset(); }
  // From the next step on, game time runs at `rate`; the stall ceiling is real time,
  // kMaxStepMs of it at any rate.
  void setRate(Rate rate);
  Rate rate() const { return rate_; }

 private:
  std::optional<std::int64_t> lastNs_;
  // Game nanoseconds not yet a whole game millisecond.
  std::int64_t carryNs_ = 0;
  Rate rate_;
};

}  // namespace tilerush
