// The paddle returns a ball that lies wholly within its width, steering it by the
// half of the paddle it is over.
#include "game/form1.h"
#include "game/numbers.h"

namespace tilerush {

void Form1::hitpaddle() {
  GameState& s = state_;
  const Element& ball = *e_.ball;
  const Element& paddle = *e_.paddle;
  double ballLeft = ball.left();
  double paddleLeft = paddle.left();
  bool within = ballLeft > paddleLeft &&
                static_cast<float>(paddleLeft + paddle.width()) > static_cast<float>(ballLeft + ball.width());
  if (!within) return;
  tell(Happening::PaddleBounce);

  // No test that the ball is falling: a ball still overlapping next tick turns again.
  s.yspeed = toInt16(-static_cast<double>(s.yspeed));
  double centre = static_cast<float>(paddleLeft + static_cast<double>(paddle.width()) / 2);
  // A ball straddling the centre is turned left here and back right below, so it
  // always leaves to the right.
  if (centre > ballLeft && s.xspeed > 0) s.xspeed = -s.xspeed;
  if (centre < ballLeft + ball.width() && s.xspeed < 0) s.xspeed = -s.xspeed;
}

}  // namespace tilerush
