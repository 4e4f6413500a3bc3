// The serve, which rests a ball on the centred paddle, and the Pause button.
#include "game/form1.h"

namespace tilerush {

void Form1::start() {
  state_.paddledir = 0;
  state_.xspeed = 0;
  state_.yspeed = 0;
  state_.speed = static_cast<float>(state_.cellw / 4);
  state_.xfactor = freshFactor();
  state_.yfactor = freshFactor();
  const Element& board = *e_.board;
  Element& paddle = *e_.paddle;
  Element& ball = *e_.ball;
  paddle.setLeft(static_cast<float>(static_cast<double>(board.width()) / 2 + board.left() -
                                    static_cast<double>(paddle.width()) / 2));
  ball.setLeft(static_cast<float>(static_cast<double>(paddle.width()) / 2 + paddle.left() -
                                  static_cast<double>(ball.width()) / 2));
  ball.setTop(static_cast<float>(static_cast<double>(paddle.top()) - ball.height()));
}

void Form1::pause_Click() {
  // With "Game Over" shown no life is left to play: resuming would run the ball on
  // with nothing to lose, so the click only puts the button away.
  if (!e_.gameover->visible()) resumePlay();
  e_.pause->setVisible(false);
}

}  // namespace tilerush
