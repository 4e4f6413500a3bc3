// The level table filled at start-up: the built-in five maps, or the set chosen for
// this window, which every start-up lays again so that a new game after "Game Over"
// plays the same set.
#include "game/form1.h"

namespace tilerush {

void Form1::chooseLevels(std::optional<levels::LevelSet> set, int firstMap) {
  chosen_ = std::move(set);
  firstMap_ = chosen_ ? firstMap : 1;
}

void Form1::fillLevels() {
  const int count = chosen_ ? static_cast<int>(chosen_->maps.size()) : levels::kBuiltInMaps;
  for (int map = 1; map < kMapSlots; ++map) {
    for (int row = 1; row <= levels::kMapRows; ++row) {
      // Maps past the set's last stay empty: nothing reads them while nummaps holds.
      std::string& text = state_.levels[map][row];
      if (map > count)
        text.clear();
      else if (chosen_)
        text = chosen_->maps[map - 1][row - 1];
      else
        text = levels::builtInRow(map, row);
    }
  }
  if (!chosen_) return;
  // A chosen set overrides what setvariables gave the built-in five: its own count of
  // maps, and the first level on the map the player chose to start from.
  state_.nummaps = static_cast<std::int16_t>(count);
  state_.mapno = firstMap_;
}

}  // namespace tilerush
