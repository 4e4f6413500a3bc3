// Losing on purpose: the quickest honest way from any moment of a game to "Game Over".
#pragma once

#include <cstdint>

#include "game/session.h"
#include "sim/runner.h"

namespace tilerush::soak {

// Plays like someone who keeps the paddle away from the ball: each serve is launched
// and every ball lost. Returns once "Game Over" shows, or false when it has not shown
// after `limitMs` of virtual time.
bool playUntilGameOver(Session& session, std::int64_t limitMs = 3'600'000);

// Clicks "Game Over", which starts a new game on the same state record.
void clickGameOver(Session& session);

}  // namespace tilerush::soak
