// Holds game events back while the window pauses after a lost ball.
#pragma once

#include <deque>
#include <functional>

namespace tilerush {

// While a hold lasts no game handler runs: ticks that fall due are dropped, and key
// events and clicks wait, in their order, until the hold ends. Ending it runs the
// rest of the interrupted handling first, then the held input. Knows nothing of
// clocks: whoever starts a hold ends it.
class EventGate {
 public:
  bool holding() const { return holding_; }
  std::size_t heldCount() const { return held_.size(); }

  void hold(std::function<void()> resume);
  // Runs a timer tick now, unless a hold lasts; then the tick is lost.
  bool offerTick(const std::function<void()>& tick);
  // Runs input now, or keeps it until the hold ends.
  void submit(std::function<void()> input);
  // Ends the hold: the resume step, then the held input in order. Input still held
  // when a new hold starts waits for that one to end.
  void release();

 private:
  bool holding_ = false;
  std::function<void()> resume_;
  std::deque<std::function<void()>> held_;
};

}  // namespace tilerush
