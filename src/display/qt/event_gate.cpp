// Dropping ticks and queueing input while a hold lasts.
#include "display/qt/event_gate.h"

#include <utility>

namespace tilerush {

void EventGate::hold(std::function<void()> resume) {
  holding_ = true;
  resume_ = std::move(resume);
}

bool EventGate::offerTick(const std::function<void()>& tick) {
  if (holding_) return false;
  tick();
  return true;
}

void EventGate::submit(std::function<void()> input) {
  if (holding_ || !held_.empty()) {
    held_.push_back(std::move(input));
    return;
  }
  input();
}

void EventGate::release() {
  if (!holding_) return;
  holding_ = false;
  auto resume = std::exchange(resume_, nullptr);
  if (resume) resume();
  while (!holding_ && !held_.empty()) {
    auto input = std::move(held_.front());
    held_.pop_front();
    input();
  }
}

}  // namespace tilerush
