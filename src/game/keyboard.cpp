// Keys record the wanted paddle direction; the paddle itself moves on Timer1's ticks.
#include "game/form1.h"

namespace tilerush {

void Form1::Form_KeyDown(int keyCode, int /*shift*/) {
  if (keyCode == kKeyLeft) state_.paddledir = 2;
  if (keyCode == kKeyRight) state_.paddledir = 1;
  if (keyCode == kKeyP) {
    e_.pause->setVisible(true);
    stopPlay();
  }
}

// Any release stops the paddle, even of a key other than the one that moves it.
void Form1::Form_KeyUp(int /*keyCode*/, int /*shift*/) { state_.paddledir = 0; }

void Form1::Timer1_Timer() {
  if (state_.paddledir == 0) return;
  Element& paddle = *e_.paddle;
  float x = paddle.left();
  // Only the limit in the direction of motion is tested.
  if (state_.paddledir == 1) {
    x = static_cast<float>(static_cast<double>(x) + 2 * state_.speed);
    double w = paddle.width();
    if (x + w > static_cast<float>(state_.rightedge)) {
      x = static_cast<float>(static_cast<float>(state_.rightedge) - w);
    }
  }
  if (state_.paddledir == 2) {
    x = static_cast<float>(static_cast<double>(x) - 2 * state_.speed);
    if (x < state_.leftedge) x = static_cast<float>(state_.leftedge);
  }
  paddle.setLeft(x);
}

}  // namespace tilerush
