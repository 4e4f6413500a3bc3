// Virtual time: ticks fall due at multiples of their interval from when it was set.
#include "display/headless.h"

namespace tilerush {

HeadlessBackend::HeadlessBackend(SeedSource seeds) : seeds_(std::move(seeds)) {}

void HeadlessBackend::intervalChanged(const Element& timer) {
  for (std::size_t i = 0; i < kTimerNames.size(); ++i) {
    if (timer.name() != kTimerNames[i]) continue;
    timers_[i].interval = timer.interval();
    timers_[i].due = now_ + timer.interval();
  }
}

void HeadlessBackend::holdEvents(int ms, std::function<void()> resume) {
  holding_ = true;
  holdEnd_ = now_ + ms;
  resume_ = std::move(resume);
}

HeadlessBackend::Schedule* HeadlessBackend::nextDue(std::size_t* which) {
  Schedule* best = nullptr;
  for (std::size_t i = 0; i < timers_.size(); ++i) {
    Schedule& t = timers_[i];
    if (t.interval > 0 && (!best || t.due < best->due)) {
      best = &t;
      *which = i;
    }
  }
  return best;
}

void HeadlessBackend::endHold() {
  holding_ = false;
  auto resume = std::move(resume_);
  resume_ = nullptr;
  if (resume) resume();
  if (onHoldEnd_) onHoldEnd_();
}

void HeadlessBackend::advance(std::int64_t ms) {
  const std::int64_t target = now_ + ms;
  for (;;) {
    std::size_t which = 0;
    Schedule* next = nextDue(&which);
    if (holding_ && holdEnd_ <= target && (!next || holdEnd_ <= next->due)) {
      now_ = holdEnd_;
      endHold();
      continue;
    }
    if (!next || next->due > target) break;
    now_ = next->due;
    next->due += next->interval;
    // Ticks falling due during a hold are lost; the timer keeps its beat.
    if (!holding_ && onTimer_) onTimer_(kTimerNames[which]);
  }
  now_ = target;
}

std::int64_t HeadlessBackend::untilNextDue() const {
  std::int64_t due = holding_ ? holdEnd_ : -1;
  for (const Schedule& t : timers_) {
    if (t.interval > 0 && (due < 0 || t.due < due)) due = t.due;
  }
  return due < 0 ? -1 : due - now_;
}

}  // namespace tilerush
