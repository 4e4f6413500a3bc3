// The page's cue maker, a program of its own that the page's cue worker
// (web/cue-maker.js) loads when the sound first starts: the very samples the window
// plays, made at the page's sample rate, and the window's soft limit for the page's
// mixer. It holds no game.
#include <emscripten/emscripten.h>

#include <vector>

#include "sound/cues.h"
#include "sound/mixer.h"
#include "sound/policy.h"

namespace {

// The last cue's samples handed to the page, kept until the next.
std::vector<float>& made() {
  static std::vector<float> samples;
  return samples;
}

}  // namespace

extern "C" {

// How many cues the game can ask the page to play, numbered from 0.
EMSCRIPTEN_KEEPALIVE int tilerush_cue_count() { return static_cast<int>(tilerush::sound::allCues().size()); }

// Cue `number`'s samples at `sampleRate` hertz, for an AudioBuffer; there are
// tilerush_cue_frames() of them.
EMSCRIPTEN_KEEPALIVE const float* tilerush_cue_samples(int number, int sampleRate) {
  const auto cues = tilerush::sound::allCues();
  made().clear();
  if (number >= 0 && number < static_cast<int>(cues.size())) {
    made() = tilerush::sound::synthesize(cues[static_cast<std::size_t>(number)], sampleRate);
  }
  return made().data();
}
EMSCRIPTEN_KEEPALIVE int tilerush_cue_frames() { return static_cast<int>(made().size()); }

// The soft limit the window's mixer puts on a sum of cues, and the loudest sum the
// cue policy lets through at once.
EMSCRIPTEN_KEEPALIVE float tilerush_bend(float sum) { return tilerush::sound::bendTowardsFullScale(sum); }
EMSCRIPTEN_KEEPALIVE float tilerush_loudest_sum() {
  return tilerush::sound::CuePolicy::kMaxVoices * tilerush::sound::kCuePeak;
}
}
