// From the game's happenings to cue numbers for the page's script.
#include "web/page_sound.h"

#include <emscripten/emscripten.h>

#include <cstdint>

extern "C" {
// Defined in web/page-calls.js: play cue `number` now.
void tr_cue(int number);
}

namespace tilerush {

PageSound::PageSound(Form1& form) : form_(form) { form_.setListener(this); }

PageSound::~PageSound() { form_.setListener(nullptr); }

void PageSound::hear(bool on) {
  hearing_ = on;
  if (!on) policy_.clear();
}

void PageSound::happened(Happening what, double before, double after) {
  if (!hearing_) return;
  // The policy's gap and voice limit are in real milliseconds, as heard.
  const auto nowMs = static_cast<std::int64_t>(emscripten_get_now());
  if (auto cue = sound::hear(policy_, what, before, after, nowMs)) tr_cue(sound::cueNumber(*cue));
}

}  // namespace tilerush
