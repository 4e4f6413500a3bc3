// Which cue each happening in play asks for, and which of them get to sound: a burst
// of strikes must not pile up into noise.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "game/listener.h"
#include "sound/cues.h"

namespace tilerush::sound {

// The cue a happening asks for, if any. A struck special brick is heard through its
// outcome, not as an ordinary strike as well.
std::optional<Cue> cueFor(Happening what, double before, double after);

class CuePolicy {
 public:
  // The same cue again within this many milliseconds adds nothing a player can hear:
  // it is dropped. Shorter than a ball tick, so each tick's strike is still heard.
  static constexpr std::int64_t kRepeatGapMs = 15;
  // At most this many cues sound at once; a cue asked for beyond them is dropped.
  static constexpr int kMaxVoices = 4;

  // Whether `cue`, asked for at `nowMs` (any steady clock in milliseconds), is to
  // play; if so it is counted as sounding for its length from now.
  bool admit(Cue cue, std::int64_t nowMs);
  // cueFor and admit together: the cue to start now, if any.
  std::optional<Cue> hear(Happening what, double before, double after, std::int64_t nowMs);
  // Forgets every sounding cue, as when the sound is muted and the mixer empties.
  void clear() { sounding_.clear(); }

 private:
  struct Sounding {
    Cue cue;
    std::int64_t startMs;
    std::int64_t endMs;
  };
  std::vector<Sounding> sounding_;
};

}  // namespace tilerush::sound
