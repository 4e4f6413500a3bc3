// Keys record the wanted paddle direction; the paddle itself moves on Timer1's ticks.
#include "game/form1.h"
#include "game/numbers.h"

namespace tilerush {

void Form1::Form_KeyDown(int keyCode, int /*shift*/) {
  if (keyCode == kKeyLeft) state_.paddledir = kPaddleLeft;
  if (keyCode == kKeyRight) state_.paddledir = kPaddleRight;
  if (keyCode == kKeyP) {
    e_.pause->setVisible(true);
    stopPlay();
  }
}

// Any release stops the paddle, even of a key other than the one that moves it.
void Form1::Form_KeyUp(int /*keyCode*/, int /*shift*/) { state_.paddledir = kPaddleStill; }

void Form1::Timer1_Timer() {
  if (state_.paddledir == kPaddleStill) return;
  Element& paddle = *e_.paddle;
  float x = paddle.left();
  // Only the limit in the direction of motion is tested.
  if (state_.paddledir == kPaddleRight) {
    x = stored(x + 2 * state_.speed);
    const double width = paddle.width();
    const float limit = state_.rightedge;  // the limit taken as a float
    if (x + width > limit) x = stored(limit - width);
  }
  if (state_.paddledir == kPaddleLeft) {
    x = stored(x - 2 * state_.speed);
    if (x < state_.leftedge) x = stored(state_.leftedge);
  }
  paddle.setLeft(x);
}

}  // namespace tilerush
