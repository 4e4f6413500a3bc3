// Running a scripted game: opening, input, the clock and the lost-ball pause.
#include "sim/session.h"

#include <chrono>

#include "game/events.h"
#include "sim/values.h"

namespace tilerush::sim {

Session::Session() : backend_([this] { return nextSeed(); }) {
  display_.setObserver(&backend_);
  backend_.setTimerHandler([this](const std::string& timer) {
    fireTimer(form_, timer);
    notify(GameEvent::Tick, timer);
  });
  backend_.setHoldEndHandler([this] { replayHeld(); });
}

// The game never reads a clock itself; an unseeded run gets the time of day here.
std::uint64_t Session::nextSeed() {
  if (seed_) return *seed_;
  auto ticks = std::chrono::system_clock::now().time_since_epoch().count();
  return static_cast<std::uint64_t>(ticks);
}

void Session::queueDraws(const std::vector<float>& draws) {
  for (float draw : draws) random_.queue(draw);
}

void Session::open() {
  open_ = true;
  form_.open();
  notify(GameEvent::Open);
}

void Session::deliver(InputEvent event) {
  if (backend_.holding()) {
    held_.push_back(std::move(event));
    return;
  }
  perform(event);
}

void Session::advance(std::int64_t ms) { backend_.advance(ms); }

void Session::perform(const InputEvent& event) {
  switch (event.kind) {
    case InputEvent::Kind::KeyDown:
      form_.Form_KeyDown(event.key, 0);
      return notify(GameEvent::Key, "down");
    case InputEvent::Kind::KeyUp:
      form_.Form_KeyUp(event.key, 0);
      return notify(GameEvent::Key, "up");
    case InputEvent::Kind::Click: {
      const Element* button = display_.find(event.name);
      if (!button || !button->visible()) {
        throw ScriptError("cannot click " + event.name + ": the button is hidden", event.line);
      }
      clickButton(form_, event.name);
      return notify(GameEvent::Click, event.name);
    }
    case InputEvent::Kind::Tick:
      return fire(event.name, event.count);
  }
}

// A fire that loses the ball starts the pause, and the fires left over are dropped
// with the other ticks that fall in it.
void Session::fire(const std::string& timer, int count) {
  for (int i = 0; i < count && !backend_.holding(); ++i) {
    const Element* clock = display_.find(timer);
    if (!clock || clock->interval() <= 0) return;
    fireTimer(form_, timer);
    notify(GameEvent::Tick, timer);
  }
}

// At the pause's end, after the game has served again or ended, the input given
// during the pause runs in its order. Should that input lose a ball once more, the
// rest waits for the end of the new pause.
void Session::replayHeld() {
  notify(GameEvent::PauseEnd);
  while (!held_.empty() && !backend_.holding()) {
    InputEvent event = std::move(held_.front());
    held_.pop_front();
    perform(event);
  }
}

}  // namespace tilerush::sim
