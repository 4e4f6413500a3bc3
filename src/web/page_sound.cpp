// From what the game shown lets be heard to cue numbers for the page's script.
#include "web/page_sound.h"

#include <emscripten/emscripten.h>

#include <cstdint>
#include <string>

#include "web/page_view.h"

namespace tilerush {

void PageSound::hear(bool on) {
  hearing_ = on;
  if (!on) policy_.clear();
}

void PageSound::happened(Happening what, double before, double after) {
  if (!hearing_) return;
  // The policy's gap and voice limit are in real milliseconds, as heard.
  const auto nowMs = static_cast<std::int64_t>(emscripten_get_now());
  if (auto cue = sound::hear(policy_, what, before, after, nowMs)) {
    tellPage(R"({"type":"cue","number":)" + std::to_string(sound::cueNumber(*cue)) + '}');
  }
}

}  // namespace tilerush
