// The headless back end: the element model with a virtual clock and no screen.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "display/display.h"
#include "display/platform.h"

namespace tilerush {

class HeadlessBackend : public Platform, public DisplayObserver {
 public:
  using TimerHandler = std::function<void(const std::string& timer)>;
  using SeedSource = std::function<std::uint64_t()>;

  explicit HeadlessBackend(SeedSource seeds);

  void setTimerHandler(TimerHandler handler) { onTimer_ = std::move(handler); }
  // Runs after a hold's own resume step, before the ticks due at its end.
  void setHoldEndHandler(std::function<void()> handler) { onHoldEnd_ = std::move(handler); }

  std::int64_t now() const { return now_; }
  bool holding() const { return holding_; }
  // Moves the clock on by `ms`, firing every tick that falls due, in time order.
  void advance(std::int64_t ms);
  // Milliseconds until the next tick or the end of a hold, -1 when nothing is due.
  std::int64_t untilNextDue() const;

  // Platform
  std::uint64_t clockSeed() override { return seeds_(); }
  void holdEvents(int ms, std::function<void()> resume) override;

  // DisplayObserver
  void elementChanged(const Element&, const Rect&) override {}
  void intervalChanged(const Element& timer) override;
  void displayRebuilt() override {}

 private:
  struct Schedule {
    int interval = 0;  // 0: stopped
    std::int64_t due = 0;
  };
  // The running timer due first, ties in name order; null when none runs.
  Schedule* nextDue(std::size_t* which);
  void endHold();

  SeedSource seeds_;
  TimerHandler onTimer_;
  std::function<void()> onHoldEnd_;
  std::array<Schedule, kTimerNames.size()> timers_{};
  std::int64_t now_ = 0;
  bool holding_ = false;
  std::int64_t holdEnd_ = 0;
  std::function<void()> resume_;
};

}  // namespace tilerush
