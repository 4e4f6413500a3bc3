// What the page says aloud of the player's game.
#pragma once

#include <string>

#include "game/state.h"

namespace tilerush {

class Display;

// The score, the best score, the lives shown, the bricks left and the level, as the
// game shows them, separated by tabs.
std::string readouts(const Display& display, const GameState& state);

}  // namespace tilerush
