// What the page says aloud of the player's game.
#pragma once

#include <string>

#include "game/state.h"

namespace tilerush {

class Display;

// The score, the best score, the lives shown, the bricks left and the level, as the
// game shows them, as a JSON object: {"score":"120","best":"300","lives":3,...}.
std::string readouts(const Display& display, const GameState& state);

}  // namespace tilerush
