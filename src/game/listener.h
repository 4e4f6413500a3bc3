// What the game tells an optional listener as things happen in play (the window's
// sound listens); telling changes nothing in the game.
#pragma once

#include <cstdint>

namespace tilerush {

// Each is told at the point in the routines where it happens, in the order the
// routines make their changes. A brick hit tells, in this order: an extra life if the
// hit earned one, a special brick's outcome and then its counter drop, the strike
// itself, the brick cleared, the level cleared.
enum class Happening : std::uint8_t {
  BrickStruck,      // before, after: the brick's value before and after the hit
  SpecialStands,    // a special brick (9) struck and left standing as a 9
  SpecialTurns,     // a special brick turned into an ordinary brick; after: its value
  SpecialVanishes,  // a special brick turned into an empty cell
  CounterToOne,     // a special brick dropped the bricks-remaining counter to 1
  BrickCleared,     // a struck brick reached 0 and left the board; after: bricks left
  PaddleBounce,
  WallBounce,  // the left or the right limit
  CeilingBounce,
  CeilingWear,   // a ceiling strike took one off the counter; after: bricks left
  BallLost,      // the ball reached the floor; the pause begins
  ExtraLife,     // the meter passed 5000; after: lives (6 at most, so maybe unchanged)
  LevelCleared,  // after: the number of the level that follows
  GameOver,
  NewGame,  // "Game Over" was clicked and a new game is laid out
};

class GameListener {
 public:
  virtual ~GameListener() = default;
  // Called on the game's thread, inside the handler that made it happen: a listener
  // must return at once and must not call back into the game. The two numbers are
  // the game's own (its counters are general numbers), 0 where a happening has none.
  virtual void happened(Happening what, double before, double after) = 0;
};

}  // namespace tilerush
