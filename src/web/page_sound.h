// The page's ears: lets the cue policy choose what sounds of what the stage says is
// heard, and hands each chosen cue to the page by its number (sound::cueNumber). The
// page plays it through Web Audio.
#pragma once

#include "game/listener.h"
#include "hearing/cue_for.h"

namespace tilerush {

class PageSound {
 public:
  // The page hears the game only while its sound is on and its cues are ready; until
  // then nothing is chosen, so that turning it on starts afresh.
  void hear(bool on);

  void happened(Happening what, double before, double after);

 private:
  sound::CuePolicy policy_;
  bool hearing_ = false;
};

}  // namespace tilerush
