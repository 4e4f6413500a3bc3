// Where the game and its sound meet: which cue answers each happening in play. The
// cues know nothing of the game and the game nothing of its cues; only this says
// which goes with which.
#pragma once

#include <cstdint>
#include <optional>

#include "game/listener.h"
#include "sound/cues.h"
#include "sound/policy.h"

namespace tilerush::sound {

// The cue a happening asks for, if any. A struck special brick is heard through its
// outcome, not as an ordinary strike as well.
std::optional<Cue> cueFor(Happening what, double before, double after);

// cueFor and the policy's admit together: the cue to start now, if any.
std::optional<Cue> hear(CuePolicy& policy, Happening what, double before, double after, std::int64_t nowMs);

}  // namespace tilerush::sound
