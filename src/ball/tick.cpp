// The ball tick: launch, next position held against the four limits, one move, then
// the hit tests.
#include "game/form1.h"
#include "game/numbers.h"

namespace tilerush {

void Form1::Timer2_Timer() {
  GameState& s = state_;
  Element& ball = *e_.ball;
  // A resting ball leaves upward, and sideways against the paddle's motion.
  if (s.xspeed == 0 && s.yspeed == 0 && s.paddledir > kPaddleStill) {
    s.yspeed = toInt16(s.speed);
    s.xspeed = s.paddledir == kPaddleRight ? -s.speed : s.speed;
  }
  double left = ball.left() + s.xspeed * s.xfactor;
  double top = ball.top() - s.yspeed * s.yfactor;

  // Each limit is its own test on the position the tests before it left.
  if (left < s.leftedge) {
    left = s.leftedge;
    s.xspeed = -s.xspeed;
    s.xfactor = freshFactor();
    tell(Happening::WallBounce);
  }
  if (left + ball.width() > s.rightedge) {
    left = stored(s.rightedge - double{ball.width()});
    s.xspeed = -s.xspeed;
    s.xfactor = freshFactor();
    tell(Happening::WallBounce);
  }
  if (top < s.topedge) {
    top = s.topedge;
    s.yspeed = toInt16(-s.yspeed);
    s.yfactor = freshFactor();
    tell(Happening::CeilingBounce);
    // One ceiling strike in five wears the counter down by one.
    s.roll = drawBelow(5);
    if (s.roll == 0) {
      s.bricksleft = s.bricksleft - 1;
      e_.numbricks->setCaption(threeDigits(s.bricksleft));
      tell(Happening::CeilingWear, 0, s.bricksleft);
      if (s.bricksleft == 0) nextlvl();
    }
  }
  // The new top, not the new bottom, is held against the bottom limit.
  if (top > s.bottomedge) {
    top = s.bottomedge - ball.height();
    s.yspeed = toInt16(-s.yspeed);
    s.yfactor = freshFactor();
  }
  ball.move(stored(left), stored(top));
  whereball();
}

}  // namespace tilerush
