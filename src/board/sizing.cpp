// Limits of play and the sizes and first places of the paddle and the ball, all from
// the board and the cell size.
#include <cmath>

#include "game/form1.h"
#include "game/numbers.h"

namespace tilerush {

void Form1::sizeobjects() {
  const Element& board = *e_.board;
  Element& paddle = *e_.paddle;
  Element& ball = *e_.ball;
  double boardLeft = board.left();
  double boardTop = board.top();
  double boardWidth = board.width();
  double boardHeight = board.height();

  state_.topedge = board.top();
  state_.bottomedge = stored(boardTop + boardHeight);
  state_.leftedge = board.left();
  // The right limit alone is a whole number of twips.
  state_.rightedge = toInt16(boardLeft + boardWidth);

  paddle.setTop(stored(boardTop + 23 * state_.cellh));
  paddle.setWidth(stored(wholePart(2.5 * state_.cellw)));
  paddle.setHeight(stored(wholePart(0.75 * state_.cellh)));
  paddle.setLeft(stored(boardLeft + boardWidth / 2 - paddle.width() / 2.0));

  ball.setWidth(stored(wholePart(state_.cellh / 2)));
  ball.setHeight(ball.width());
  ball.setLeft(stored(paddle.left() + paddle.width() / 2.0 - ball.width() / 2.0));
  const double paddleTop = paddle.top();
  ball.setTop(stored(paddleTop - ball.height()));

  e_.highscore->setCaption(sixDigits(state_.toppoints));
}

}  // namespace tilerush
