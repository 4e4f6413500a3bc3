// Watching a replay: its stretches of game time at the pace of real time, and any
// instant of it reached by running its lines from the start, or on from where it stands.
#include "sim/replay_show.h"

#include <algorithm>

#include "game/keys.h"

namespace tilerush::sim {

TheatreKey theatreKeyOf(int code) {
  switch (code) {
    case kKeySpace:
      return TheatreKey::PlayOrPause;
    case kKeyMinus:
    case kKeyPadMinus:
      return TheatreKey::Slower;
    case kKeyEquals:
    case kKeyPadPlus:
      return TheatreKey::Faster;
    case kKeyPeriod:
      return TheatreKey::StepOn;
    case kKeyComma:
      return TheatreKey::StepBack;
    case kKeyHome:
      return TheatreKey::ToStart;
    case kKeyEnd:
      return TheatreKey::ToEnd;
    case kKeyLeft:
      return TheatreKey::Back;
    case kKeyRight:
      return TheatreKey::On;
    case kKeyPageUp:
      return TheatreKey::PreviousMark;
    case kKeyPageDown:
      return TheatreKey::NextMark;
    default:
      return TheatreKey::None;
  }
}

ReplayShow::ReplayShow(PacedGame& game, std::string script, ReplayFacts facts, Ended ended, Running running)
    : game_(game),
      session_(game.session()),
      script_(std::move(script)),
      facts_(std::move(facts)),
      ended_(std::move(ended)),
      running_(std::move(running)) {
  game_.stand();
  startAgain();
  runTo(0);
}

ReplayShow::~ReplayShow() { game_.runFreely(); }

void ReplayShow::startAgain() {
  session_.restart();
  lines_.clear();
  lines_.str(script_);
  pace_ = std::make_unique<ReplayPace>(session_, lines_, dumps_);
  until_.reset();
  over_ = false;
}

// Lines are carried out up to the stretch of game time that goes past `t`.
void ReplayShow::runTo(std::int64_t t) {
  while (!over_) {
    if (!until_ || session_.now() >= *until_) {
      nextStretch();
      continue;
    }
    if (session_.now() >= t) return;
    session_.advanceTo(std::min(*until_, t));
  }
}

void ReplayShow::nextStretch() {
  until_ = pace_->next();
  if (!until_) finish();
}

void ReplayShow::finish() {
  over_ = true;
  playing_ = false;
  game_.stand();
  verdict_ = pace_->verdict();
  status_ = pace_->status();
  if (!told_ && ended_) {
    told_ = true;
    ended_(verdict_, status_);
  }
}

// The front end's clock stops at the end of the stretch, where the next is asked for.
void ReplayShow::armStretch() {
  if (over_ || !until_) return;
  game_.runUntil(*until_, [this] {
    nextStretch();
    armStretch();
  });
}

void ReplayShow::play(std::int64_t realNs) {
  if (over_) return;
  playing_ = true;
  armStretch();
  game_.go(realNs);
}

void ReplayShow::pause() {
  playing_ = false;
  game_.stand();
}

void ReplayShow::seek(std::int64_t t, std::int64_t realNs) {
  t = std::clamp<std::int64_t>(t, 0, facts_.length);
  if (running_) running_(true);
  if (t < now() || (over_ && t < facts_.length)) startAgain();
  runTo(t);
  if (running_) running_(false);
  if (playing_) {
    armStretch();
    game_.go(realNs);
  } else {
    game_.stand();
  }
}

void ReplayShow::setSpeed(int index, std::int64_t realNs) {
  speed_ = std::clamp(index, 0, static_cast<int>(kSpeeds.size()) - 1);
  game_.setRate(kSpeeds[static_cast<std::size_t>(speed_)], realNs);
}

std::int64_t ReplayShow::markBefore(std::int64_t t) const {
  std::int64_t found = 0;
  for (const Mark& mark : facts_.marks) {
    if (mark.at < t) found = mark.at;
  }
  return found;
}

std::int64_t ReplayShow::markAfter(std::int64_t t) const {
  for (const Mark& mark : facts_.marks) {
    if (mark.at > t) return mark.at;
  }
  return facts_.length;
}

bool ReplayShow::key(int code, std::int64_t realNs) {
  switch (theatreKeyOf(code)) {
    case TheatreKey::None:
      return false;
    case TheatreKey::PlayOrPause:
      if (playing_) {
        pause();
      } else {
        play(realNs);
      }
      break;
    case TheatreKey::Slower:
      setSpeed(speed_ - 1, realNs);
      break;
    case TheatreKey::Faster:
      setSpeed(speed_ + 1, realNs);
      break;
    case TheatreKey::StepOn:
      if (!playing_) seek(now() + kStepMs, realNs);
      break;
    case TheatreKey::StepBack:
      if (!playing_) seek(now() - kStepMs, realNs);
      break;
    case TheatreKey::ToStart:
      seek(0, realNs);
      break;
    case TheatreKey::ToEnd:
      seek(facts_.length, realNs);
      break;
    case TheatreKey::Back:
      seek(now() - kJumpMs, realNs);
      break;
    case TheatreKey::On:
      seek(now() + kJumpMs, realNs);
      break;
    case TheatreKey::PreviousMark:
      seek(markBefore(now()), realNs);
      break;
    case TheatreKey::NextMark:
      seek(markAfter(now()), realNs);
      break;
  }
  return true;
}

}  // namespace tilerush::sim
