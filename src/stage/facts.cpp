#include "stage/facts.h"

#include <algorithm>

namespace tilerush::stage {

MarkLook markLook(sim::Mark::Kind kind) {
  switch (kind) {
    case sim::Mark::Kind::LostBall:
      return {"lost-ball", "Lost ball", 0xC03030};
    case sim::Mark::Kind::LevelCleared:
      return {"level-cleared", "Level cleared", 0x208020};
    case sim::Mark::Kind::GameOver:
      return {"game-over", "Game Over", 0x303030};
  }
  return {"game-over", "Game Over", 0x303030};
}

std::string clockText(std::int64_t ms) {
  const std::int64_t tenths = std::max<std::int64_t>(ms, 0) / 100;
  const std::int64_t seconds = tenths / 10;
  std::string text = std::to_string(seconds / 60) + ':';
  if (seconds % 60 < 10) text += '0';
  return text + std::to_string(seconds % 60) + '.' + std::to_string(tenths % 10);
}

bool repeatsWhileHeld(sim::TheatreKey key) {
  using sim::TheatreKey;
  return key == TheatreKey::StepOn || key == TheatreKey::StepBack || key == TheatreKey::Back ||
         key == TheatreKey::On;
}

}  // namespace tilerush::stage
