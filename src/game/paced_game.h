// A session moved on by real time, as the window and the page run it: the front end
// says what time it is at each wake-up and each input, and arms one timer of its own
// for the delay this says. So both front ends pace the game the one same way.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "game/hook.h"
#include "game/session.h"
#include "timing/pacer.h"

namespace tilerush {

class PacedGame {
 public:
  using Step = std::function<void()>;

  explicit PacedGame(Session& session) : session_(session) {}
  PacedGame(const PacedGame&) = delete;
  PacedGame& operator=(const PacedGame&) = delete;

  // Game time goes on from real instant `realNs` (nanoseconds from any fixed origin)
  // as if no real time had passed since it last ran: the game was hidden or not shown.
  void restartClock(std::int64_t realNs);
  // Brings game time up to `realNs`, firing every tick due by then, but never past
  // an instant runUntil set.
  void catchUp(std::int64_t realNs);
  // Gives the player's input at the clock's present instant, once it is brought up to `realNs`.
  void give(const Input& input, std::int64_t realNs);
  // Game time stops at `until` until asked to go on, and `reached` runs there (it may
  // ask for the next stretch at once).
  void runUntil(std::int64_t until, Step reached);
  // Game time runs on with no stop ahead, and no step waits there.
  void runFreely();
  // Game time stands still (a watched replay paused, or at its end, its final state
  // shown) until go(), which starts it again from real instant `realNs`.
  void stand() { still_ = true; }
  void go(std::int64_t realNs);
  bool still() const { return still_; }
  // Game time runs at `rate` from real instant `realNs` on.
  void setRate(Pacer::Rate rate, std::int64_t realNs);
  Pacer::Rate rate() const { return pacer_.rate(); }
  // `look` runs after every catch-up of an open game, with the clock at the present
  // instant, until the hook goes: where the controls look at the game and may give it
  // input. Each registration is its own, so one party going never silences another.
  [[nodiscard]] Hook afterCatchUp(Step look) { return looks_.add(std::move(look)); }

  // Real nanoseconds after the last catch-up until the clock next needs bringing up
  // to date; none while nothing falls due or time stands still. Sped up, the game is
  // woken no more often than a screen shows frames, a few ticks at a time.
  std::optional<std::int64_t> wakeDelayNs() const;

  Session& session() { return session_; }
  const Session& session() const { return session_; }

 private:
  Session& session_;
  Pacer pacer_;
  bool still_ = false;
  std::optional<std::int64_t> until_;
  Step reached_;
  HookList<> looks_;
};

}  // namespace tilerush
