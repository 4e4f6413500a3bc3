// The repeat gap and the voice limit.
#include "sound/policy.h"

#include <algorithm>
#include <cmath>

namespace tilerush::sound {

bool CuePolicy::admit(Cue cue, std::int64_t nowMs) {
  std::erase_if(sounding_, [nowMs](const Sounding& s) { return s.endMs <= nowMs; });
  for (const Sounding& s : sounding_) {
    if (s.cue.kind == cue.kind && nowMs - s.startMs < kRepeatGapMs) return false;
  }
  if (static_cast<int>(sounding_.size()) >= kMaxVoices) return false;
  const auto length = static_cast<std::int64_t>(std::ceil(cueLengthMs(cue)));
  sounding_.push_back({cue, nowMs, nowMs + length});
  return true;
}

}  // namespace tilerush::sound
