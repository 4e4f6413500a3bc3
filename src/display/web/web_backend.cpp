// Real time into game time: whole milliseconds, the rest carried to the next wake-up.
#include "display/web/web_backend.h"

#include <algorithm>
#include <chrono>
#include <cmath>

#include <emscripten/emscripten.h>

namespace tilerush {

WebBackend::WebBackend(const Display& display)
    : display_(display), clock_([this] { return clockSeed(); }), canvas_(display) {
  clock_.setHoldEndHandler([this] { replayHeld(); });
}

// The time of day, in microseconds as far as the browser tells them: a new seed at
// every start-up.
std::uint64_t WebBackend::clockSeed() {
  const auto ms = std::chrono::system_clock::now().time_since_epoch() / std::chrono::milliseconds(1);
  return static_cast<std::uint64_t>(ms) * 1000 +
         static_cast<std::uint64_t>(std::fmod(emscripten_get_now(), 1.0) * 1000);
}

void WebBackend::restartAt(double realMs) {
  lastReal_ = realMs;
  carry_ = 0;
}

void WebBackend::catchUp(double realMs) {
  const double elapsed = std::clamp(realMs - lastReal_, 0.0, kLongestStepMs);
  lastReal_ = realMs;
  carry_ += elapsed;
  const double whole = std::floor(carry_);
  carry_ -= whole;
  clock_.advance(static_cast<std::int64_t>(whole));
}

void WebBackend::submit(std::function<void()> input) {
  if (clock_.holding() || !held_.empty()) {
    held_.push_back(std::move(input));
    return;
  }
  input();
}

// At the pause's end, after the game has served again or ended, the input given
// during the pause runs in its order. Should it lose a ball once more, the rest
// waits for the end of the new pause.
void WebBackend::replayHeld() {
  while (!held_.empty() && !clock_.holding()) {
    auto input = std::move(held_.front());
    held_.pop_front();
    input();
  }
}

double WebBackend::paint() {
  canvas_.paint();
  const std::int64_t due = clock_.untilNextDue();
  return due < 0 ? -1 : std::max(0.0, static_cast<double>(due) - carry_);
}

void WebBackend::elementChanged(const Element& element, const Rect& before) {
  if (element.kind() == ElementKind::Button) {
    buttons_.sync(element);
  } else if (element.kind() != ElementKind::Timer) {
    canvas_.elementChanged(element, before);
  }
}

void WebBackend::displayRebuilt() {
  buttons_.rebuild(display_);
  canvas_.rebuild();
}

}  // namespace tilerush
