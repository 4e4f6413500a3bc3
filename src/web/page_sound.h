// The page's ears: hears what happens in the game it belongs to, lets the cue policy
// choose what sounds, and hands each chosen cue to the page by its number
// (sound::cueNumber). The page plays it through Web Audio.
#pragma once

#include "game/form1.h"
#include "game/listener.h"
#include "hearing/cue_for.h"

namespace tilerush {

class PageSound : public GameListener {
 public:
  explicit PageSound(Form1& form);
  ~PageSound() override;
  PageSound(const PageSound&) = delete;
  PageSound& operator=(const PageSound&) = delete;

  // The page hears the game only while its sound is on and its cues are ready; until
  // then nothing is chosen, so that turning it on starts afresh.
  void hear(bool on);

  void happened(Happening what, double before, double after) override;

 private:
  Form1& form_;
  sound::CuePolicy policy_;
  bool hearing_ = false;
};

}  // namespace tilerush
