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
  state_.bottomedge = static_cast<float>(boardTop + boardHeight);
  state_.leftedge = board.left();
  // The right limit alone is a whole number of twips.
  state_.rightedge = toInt16(boardLeft + boardWidth);

  paddle.setTop(static_cast<float>(boardTop + 23 * state_.cellh));
  paddle.setWidth(static_cast<float>(wholePart(2.5 * state_.cellw)));
  paddle.setHeight(static_cast<float>(wholePart(0.75 * state_.cellh)));
  paddle.setLeft(static_cast<float>(boardLeft + boardWidth / 2 - static_cast<double>(paddle.width()) / 2));

  ball.setWidth(static_cast<float>(wholePart(state_.cellh / 2)));
  ball.setHeight(ball.width());
  ball.setLeft(static_cast<float>(static_cast<double>(paddle.left()) + static_cast<double>(paddle.width()) / 2 -
                                  static_cast<double>(ball.width()) / 2));
  ball.setTop(static_cast<float>(static_cast<double>(paddle.top()) - ball.height()));

  e_.highscore->setCaption(sixDigits(state_.toppoints));
}

}  // namespace tilerush
