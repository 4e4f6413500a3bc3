// Ticks in time order, and the hold that swallows the ticks falling due while it lasts.
#include "timing/clock.h"

#include <algorithm>

namespace tilerush {

void Clock::intervalChanged(const Element& timer) {
  auto known =
      std::find_if(timers_.begin(), timers_.end(), [&](const Schedule& s) { return s.timer == &timer; });
  if (known == timers_.end()) known = timers_.insert(timers_.end(), Schedule{&timer});
  const int interval = std::max(timer.interval(), 0);
  // Stopping a stopped timer changes nothing; any other setting restarts its beat.
  if (interval == 0 && known->interval == 0) return;
  known->interval = interval;
  known->due = now_ + interval;
  ++scheduleChanges_;
}

void Clock::restart() {
  timers_.clear();
  now_ = 0;
  holdEnd_.reset();
  resume_ = nullptr;
  ++scheduleChanges_;
}

const Clock::Schedule* Clock::firstDue() const {
  const Schedule* first = nullptr;
  for (const Schedule& s : timers_) {
    if (s.interval > 0 && (!first || s.due < first->due)) first = &s;
  }
  return first;
}

std::optional<std::int64_t> Clock::nextDue() const {
  std::optional<std::int64_t> next = holdEnd_;
  if (const Schedule* first = firstDue(); first && (!next || first->due < *next)) next = first->due;
  return next;
}

void Clock::hold(int ms, Step resume) {
  holdEnd_ = now_ + ms;
  resume_ = std::move(resume);
}

void Clock::endHold() {
  holdEnd_.reset();
  Step resume = std::move(resume_);
  resume_ = nullptr;
  if (resume) resume();
  if (onHoldEnd_) onHoldEnd_();
}

void Clock::advanceTo(std::int64_t t) {
  const std::int64_t target = std::max(t, now_);
  for (;;) {
    const Schedule* next = firstDue();
    // A hold ends before the ticks due at its last instant.
    if (holdEnd_ && *holdEnd_ <= target && (!next || *holdEnd_ <= next->due)) {
      now_ = *holdEnd_;
      endHold();
      continue;
    }
    if (!next || next->due > target) break;
    now_ = next->due;
    Schedule& due = timers_[static_cast<std::size_t>(next - timers_.data())];
    due.due += due.interval;
    // Ticks falling due during a hold are lost; the timer keeps its beat.
    if (!holdEnd_ && onTick_) onTick_(*due.timer);
  }
  now_ = target;
}

}  // namespace tilerush
