// The serve, which rests a ball on the centred paddle, and the Pause button.
#include "game/form1.h"
#include "game/numbers.h"

namespace tilerush {

void Form1::start() {
  state_.paddledir = kPaddleStill;
  state_.xspeed = 0;
  state_.yspeed = 0;
  state_.speed = stored(state_.cellw / 4);
  state_.xfactor = freshFactor();
  state_.yfactor = freshFactor();
  const Element& board = *e_.board;
  Element& paddle = *e_.paddle;
  Element& ball = *e_.ball;
  paddle.setLeft(stored(board.width() / 2.0 + board.left() - paddle.width() / 2.0));
  ball.setLeft(stored(paddle.width() / 2.0 + paddle.left() - ball.width() / 2.0));
  const double paddleTop = paddle.top();
  ball.setTop(stored(paddleTop - ball.height()));
}

void Form1::pause_Click() {
  // With "Game Over" shown no life is left to play: resuming would run the ball on
  // with nothing to lose, so the click only puts the button away.
  if (!e_.gameover->visible()) resumePlay();
  e_.pause->setVisible(false);
}

}  // namespace tilerush
