// Which of the cues asked for get to sound: a burst of strikes must not pile up into
// noise.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "sound/cues.h"

namespace tilerush::sound {

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
