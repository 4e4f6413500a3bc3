// The viewer's rules, for the window and the page alike: which keys act once a press
// and which repeat while held, the timeline told after each act and followed while
// playing, sound only at the normal speed, and the verdict whenever the end is shown.
#include "stage/viewing.h"

#include <utility>

#include "sim/runner.h"
#include "sim/values.h"
#include "stage/facts.h"

namespace tilerush::stage {

Viewing::Viewing(View& view, std::string script, sim::ReplayFacts facts)
    : view_(view),
      session_(sim::systemClockSeed),
      firstSeed_(sim::firstSeed(script)),
      firstLevels_(sim::firstLevels(script)),
      hearing_(session_.form().addListener(*this)),
      show_(
          paced_, std::move(script), std::move(facts),
          [this](const std::string& verdict, int status) { view_.verdict(verdict, status); },
          [this](bool ahead) { runningAhead(ahead); }) {}

Viewing::~Viewing() = default;

Timeline Viewing::timeline() const {
  return {show_.now(), show_.length(), show_.playing(), show_.speed(), show_.over(), show_.marks()};
}

void Viewing::start(std::int64_t realNs) {
  view_.show(session_);
  paced_.restartClock(realNs);
  show_.play(realNs);
  told(realNs);
}

void Viewing::key(int code, bool repeat, std::int64_t realNs) {
  const sim::TheatreKey key = sim::theatreKeyOf(code);
  if (key == sim::TheatreKey::None || (repeat && !repeatsWhileHeld(key))) return;
  show_.key(code, realNs);
  told(realNs);
}

void Viewing::playOrPause(std::int64_t realNs) {
  show_.key(kKeySpace, realNs);
  told(realNs);
}

void Viewing::setSpeed(int index, std::int64_t realNs) {
  show_.setSpeed(index, realNs);
  told(realNs);
}

void Viewing::seek(std::int64_t t, std::int64_t realNs) {
  show_.seek(t, realNs);
  told(realNs);
}

void Viewing::catchUp(std::int64_t realNs) {
  try {
    paced_.catchUp(realNs);
  } catch (const sim::ScriptError& e) {
    // Only a replay's clicks can be refused, and its check has shown that none is;
    // should one be all the same, the replay stops there and says why.
    show_.pause();
    view_.verdict("replay: line " + std::to_string(e.line()) + ": " + e.what(), 2);
  }
  // Playing, the time shown follows now and then; stopped at the end, at once.
  const bool due = !toldAtNs_ || realNs - *toldAtNs_ >= kFollowMs * kNsPerMs;
  if ((show_.playing() && due) || show_.playing() != toldPlaying_ || show_.over() != toldOver_) told(realNs);
}

void Viewing::restartClock(std::int64_t realNs) { paced_.restartClock(realNs); }

void Viewing::happened(Happening what, double before, double after) {
  if (!ahead_ && show_.speed() == sim::kNormalSpeed) view_.happened(what, before, after);
}

void Viewing::runningAhead(bool ahead) {
  ahead_ = ahead;
  view_.drawing(!ahead);
}

void Viewing::told(std::int64_t realNs) {
  toldAtNs_ = realNs;
  toldPlaying_ = show_.playing();
  toldOver_ = show_.over();
  view_.timeline(timeline());
}

}  // namespace tilerush::stage
