// Real time into game time for a front end, and when it must wake next.
#include "game/paced_game.h"

#include <algorithm>
#include <utility>

namespace tilerush {
namespace {

constexpr std::int64_t kFastestWakeNs = 16 * kNsPerMs;

}  // namespace

void PacedGame::restartClock(std::int64_t realNs) {
  pacer_.restart();
  pacer_.step(realNs);
}

void PacedGame::catchUp(std::int64_t realNs) {
  const std::int64_t step = pacer_.step(realNs);
  if (still_ || !session_.isOpen()) return;
  std::int64_t target = session_.now() + step;
  if (until_) target = std::min(target, *until_);
  // Instant by instant, the controls looking after each: a wake-up that comes late on a
  // busy machine must not carry the paddle past a still pointer for every tick it slept.
  for (;;) {
    const std::optional<std::int64_t> due = session_.nextDue();
    const std::int64_t next = due && *due < target ? *due : target;
    session_.advanceTo(next);
    if (until_ && session_.now() >= *until_) {
      until_.reset();
      if (Step reached = std::exchange(reached_, nullptr)) reached();
    }
    if (still_) return;
    looks_.run();
    if (next >= target || !session_.isOpen()) return;
  }
}

void PacedGame::go(std::int64_t realNs) {
  still_ = false;
  restartClock(realNs);
}

void PacedGame::setRate(Pacer::Rate rate, std::int64_t realNs) {
  catchUp(realNs);
  pacer_.setRate(rate);
}

void PacedGame::give(const Input& input, std::int64_t realNs) {
  if (still_ || !session_.isOpen()) return;
  catchUp(realNs);
  session_.give(input);
}

void PacedGame::runUntil(std::int64_t until, Step reached) {
  until_ = until;
  reached_ = std::move(reached);
}

void PacedGame::runFreely() {
  until_.reset();
  reached_ = nullptr;
}

std::optional<std::int64_t> PacedGame::wakeDelayNs() const {
  if (still_) return std::nullopt;
  std::optional<std::int64_t> next = session_.nextDue();
  if (until_ && (!next || *until_ < *next)) next = until_;
  if (!next) return std::nullopt;
  const std::int64_t delay = pacer_.realDelayNs(*next - session_.now());
  return pacer_.rate().game > pacer_.rate().real ? std::max(delay, kFastestWakeNs) : delay;
}

}  // namespace tilerush
