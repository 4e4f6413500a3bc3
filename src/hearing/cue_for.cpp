// Each happening's cue: the plain ones one to one, the valued ones with their brick.
#include "hearing/cue_for.h"

namespace tilerush::sound {
namespace {

// A brick value as a cue's value: 1..9, whatever a script may have planted.
int valueOf(double value) { return value >= 1 && value <= 9 ? static_cast<int>(value) : 0; }

}  // namespace

std::optional<Cue> cueFor(Happening what, double before, double after) {
  switch (what) {
    case Happening::BrickStruck:
      if (before == 9 || valueOf(before) == 0) return std::nullopt;
      return Cue{CueKind::Brick, valueOf(before)};
    case Happening::SpecialStands:
      return Cue{CueKind::SpecialStands};
    case Happening::SpecialTurns:
      if (valueOf(after) == 0) return std::nullopt;
      return Cue{CueKind::SpecialTurns, valueOf(after)};
    case Happening::SpecialVanishes:
      return Cue{CueKind::SpecialVanishes};
    case Happening::CounterToOne:
      return Cue{CueKind::CounterToOne};
    case Happening::BrickCleared:
      return Cue{CueKind::BrickCleared};
    case Happening::PaddleBounce:
      return Cue{CueKind::Paddle};
    case Happening::WallBounce:
      return Cue{CueKind::Wall};
    case Happening::CeilingBounce:
      return Cue{CueKind::Ceiling};
    case Happening::CeilingWear:
      return Cue{CueKind::CeilingWear};
    case Happening::BallLost:
      return Cue{CueKind::BallLost};
    case Happening::ExtraLife:
      return Cue{CueKind::ExtraLife};
    case Happening::LevelCleared:
      return Cue{CueKind::LevelCleared};
    case Happening::GameOver:
      return Cue{CueKind::GameOver};
    case Happening::NewGame:
      return Cue{CueKind::NewGame};
  }
  return std::nullopt;
}

std::optional<Cue> hear(CuePolicy& policy, Happening what, double before, double after, std::int64_t nowMs) {
  std::optional<Cue> cue = cueFor(what, before, after);
  if (!cue || !policy.admit(*cue, nowMs)) return std::nullopt;
  return cue;
}

}  // namespace tilerush::sound
