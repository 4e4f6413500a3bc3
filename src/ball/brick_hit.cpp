// A struck brick: score it, weaken it or roll a special brick's fate, repaint it,
// and send the ball off with fresh random factors.
#include "game/form1.h"
#include "game/numbers.h"

namespace tilerush {
namespace {

// What became of a struck special brick, for whoever listens.
Happening specialOutcome(std::int16_t value) {
  if (value == 9) return Happening::SpecialStands;
  return value == 0 ? Happening::SpecialVanishes : Happening::SpecialTurns;
}

}  // namespace

void Form1::score(int i, int x, int y, int decx, int decy) {
  GameState& s = state_;
  updatescore();

  std::int16_t& value = s.cellval[static_cast<std::size_t>(x)][static_cast<std::size_t>(y)];
  const std::int16_t before = value;
  if (value == 9) {
    s.roll = drawBelow(4);
    if (s.roll == 1 || s.roll == 2) {
      s.roll = drawBelow(9);
      value = s.roll;
    }
    tell(specialOutcome(value), before, value);
    // A zero from either draw gives a one-in-ten chance that the counter drops to 1,
    // shown as the bare digit until the count next changes.
    if (s.roll == 0) {
      s.roll = drawBelow(10);
      if (s.roll == 0) {
        s.bricksleft = 1;
        e_.numbricks->setCaption("1");
        tell(Happening::CounterToOne, 0, 1);
      }
    }
  } else {
    value = static_cast<std::int16_t>(value - 1);
  }
  tell(Happening::BrickStruck, before, value);
  colorbricks(i, x, y);

  // The rebound sets the full base step with the asked-for sign; it does not reverse.
  if (decx == 1) s.xspeed = s.speed;
  if (decx == -1) s.xspeed = -s.speed;
  if (decy == 1) s.yspeed = toInt16(s.speed);
  if (decy == -1) s.yspeed = toInt16(-s.speed);
  s.xfactor = freshFactor();
  s.yfactor = freshFactor();
}

}  // namespace tilerush
