// The paddle returns a ball that lies wholly within its width, steering it by the
// half of the paddle it is over.
#include "game/form1.h"
#include "game/numbers.h"

namespace tilerush {

void Form1::hitpaddle() {
  GameState& s = state_;
  const Element& ball = *e_.ball;
  const Element& paddle = *e_.paddle;
  const double ballLeft = ball.left();
  const double paddleLeft = paddle.left();
  // Each sum is rounded to a float before it is compared.
  const bool within = ballLeft > paddleLeft && stored(rightOf(paddle)) > stored(rightOf(ball));
  if (!within) return;
  tell(Happening::PaddleBounce);

  // No test that the ball is falling: a ball still overlapping next tick turns again.
  s.yspeed = toInt16(-s.yspeed);
  const double centre = stored(paddleLeft + paddle.width() / 2.0);
  // A ball straddling the centre is turned left here and back right below, so it
  // always leaves to the right.
  if (centre > ballLeft && s.xspeed > 0) s.xspeed = -s.xspeed;
  if (centre < rightOf(ball) && s.xspeed < 0) s.xspeed = -s.xspeed;
}

}  // namespace tilerush
