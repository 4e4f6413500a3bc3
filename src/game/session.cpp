// Input, ticks and the lost-ball pause of one game, on the one clock.
#include "game/session.h"

namespace tilerush {

Session::Session(SeedSource clockSeeds) : clockSeeds_(std::move(clockSeeds)) {
  display_.addObserver(&clock_);
  clock_.setTickHandler([this](const Element& timer) {
    if (std::optional<TimerId> id = form_.timerOf(timer)) fire(*id, 1);
  });
  clock_.setHoldEndHandler([this] { giveHeld(); });
}

void Session::fixSeed(std::uint64_t seed) {
  fixedSeed_ = seed;
  upcomingSeed_.reset();
}

// Drawn ahead of the start-up that uses it, so that a replay can name it first.
std::uint64_t Session::upcomingSeed() {
  if (!upcomingSeed_) upcomingSeed_ = fixedSeed_ ? *fixedSeed_ : clockSeeds_();
  return *upcomingSeed_;
}

std::uint64_t Session::clockSeed() {
  const std::uint64_t seed = upcomingSeed();
  upcomingSeed_.reset();
  startUpSeed_ = seed;
  return seed;
}

void Session::queueDraws(const std::vector<float>& draws) {
  for (float draw : draws) random_.queue(draw);
}

void Session::restart() {
  fixedSeed_.reset();
  upcomingSeed_.reset();
  startUpSeed_.reset();
  random_ = RandomSource{};
  clock_.restart();
  form_.forget();
  // A new session plays the built-in maps until it is given a set.
  form_.chooseLevels(std::nullopt);
  display_.build({});
  open_ = false;
  held_.clear();
  firings_ = {};
}

void Session::open() {
  if (log_) log_->opening(upcomingSeed());
  open_ = true;
  form_.open();
  notify(GameEvent::Open);
}

Session::Footprint Session::footprint() const {
  return {display_.changeCount(), clock_.scheduleChanges(), form_.state().paddledir};
}

void Session::give(const Input& input) {
  if (log_) log_->giving(input);
  if (clock_.holding()) {
    held_.push_back(input);
    if (log_) log_->given(input, true, true);
    return;
  }
  const Footprint before = footprint();
  perform(input);
  if (log_) log_->given(input, false, footprint() != before);
}

void Session::perform(const Input& input) {
  switch (input.kind) {
    case Input::Kind::KeyDown:
      form_.Form_KeyDown(input.key, 0);
      return notify(GameEvent::Key, "down");
    case Input::Kind::KeyUp:
      form_.Form_KeyUp(input.key, 0);
      return notify(GameEvent::Key, "up");
    case Input::Kind::Click:
      if (!form_.element(input.button).visible()) {
        if (refuseClick_) refuseClick_(input);
        return;
      }
      form_.click(input.button);
      return notify(GameEvent::Click, nameOf(input.button));
    case Input::Kind::Tick:
      return fire(input.timer, input.count);
  }
}

// A fire that loses the ball starts the pause, and the fires left over are dropped
// with the other ticks that fall in it. A stopped timer does not fire.
void Session::fire(TimerId timer, int count) {
  for (int i = 0; i < count && !clock_.holding(); ++i) {
    if (form_.element(timer).interval() <= 0) return;
    form_.fire(timer);
    ++firings_[static_cast<std::size_t>(timer)];
    notify(GameEvent::Tick, nameOf(timer));
  }
}

// At the pause's end, after the game has served again or ended, the input given
// during the pause is carried out in its order. Should that input lose a ball once
// more, the rest waits for the end of the new pause.
void Session::giveHeld() {
  notify(GameEvent::PauseEnd);
  while (!held_.empty() && !clock_.holding()) {
    Input input = held_.front();
    held_.pop_front();
    perform(input);
  }
}

}  // namespace tilerush
