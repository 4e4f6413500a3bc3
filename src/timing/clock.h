// Game time: the one clock every front end runs the window's timers on.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "display/display.h"

namespace tilerush {

// Whole milliseconds of game time, from 0. A timer whose interval is set above 0 at
// time t falls due at t + interval, t + 2 x interval, and so on; 0 stops it. Ticks
// due at one instant fire in the order the timers were created, and a timer stopped
// by an earlier handler at that instant does not fire. A front end moves the clock
// on: tilerush-sim by the script's word, a window or a page by the real time that
// passed. So every front end plays the same game from the same timed input.
class Clock : public DisplayObserver {
 public:
  using TickHandler = std::function<void(const Element& timer)>;
  using Step = std::function<void()>;

  void setTickHandler(TickHandler handler) { onTick_ = std::move(handler); }
  // Runs when a hold ends, after the hold's own resume step and before the ticks
  // due at that instant.
  void setHoldEndHandler(Step handler) { onHoldEnd_ = std::move(handler); }

  std::int64_t now() const { return now_; }
  // Back to time 0 with no timer and no hold, as a new clock.
  void restart();
  // The next instant at which a tick or the end of a hold falls due; none when no
  // timer runs and no hold lasts.
  std::optional<std::int64_t> nextDue() const;
  // Moves the clock on to `t` (never back), firing every tick and hold end due by
  // then in time order.
  void advanceTo(std::int64_t t);

  // For `ms` milliseconds no tick fires: ticks falling due meanwhile are lost, and
  // the timers keep their beat. Then `resume` runs.
  void hold(int ms, Step resume);
  bool holding() const { return holdEnd_.has_value(); }

  // How often a timer's schedule has changed: equal counts mean no timer was
  // started, stopped or restarted in between.
  std::uint64_t scheduleChanges() const { return scheduleChanges_; }

  // DisplayObserver: timers are known by the intervals set on them.
  void elementChanged(const Element&, const Rect&) override {}
  void intervalChanged(const Element& timer) override;
  void displayRebuilt() override { timers_.clear(); }

 private:
  struct Schedule {
    const Element* timer = nullptr;
    int interval = 0;  // 0: stopped
    std::int64_t due = 0;
  };
  // The running timer due first, ties in creation order; null when none runs.
  const Schedule* firstDue() const;
  void endHold();

  TickHandler onTick_;
  Step onHoldEnd_;
  std::vector<Schedule> timers_;
  std::int64_t now_ = 0;
  std::optional<std::int64_t> holdEnd_;
  Step resume_;
  std::uint64_t scheduleChanges_ = 0;
};

}  // namespace tilerush
