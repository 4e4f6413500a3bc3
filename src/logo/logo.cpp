// Three white balls bouncing inside the title box, for as long as the window is open.
#include "game/form1.h"
#include "game/numbers.h"

namespace tilerush {

void Form1::initlogo() {
  GameState& s = state_;
  double step = s.cellw / 2.5;
  s.logoxspeed = {1.1 * step, -step, 0.9 * step};
  s.logoyspeed = {toInt16(0.9 * step), toInt16(-step), toInt16(-1.1 * step)};
  display_.createMember("logoball", 1);
  display_.createMember("logoball", 2);
  const Element& box = *e_.logobox;
  for (int i = 0; i < kLogoBalls; ++i) {
    Element& ball = *e_.logoball->member(i);
    auto size = static_cast<float>(s.cellh / 3);
    ball.setWidth(size);
    ball.setHeight(size);
    ball.setTop(static_cast<float>(static_cast<double>(box.top()) + static_cast<double>(box.height()) / 2));
    ball.setLeft(static_cast<float>(static_cast<double>(box.left()) + static_cast<double>(box.width()) / 2));
    ball.setVisible(true);
    display_.bringToFront(ball);
  }
}

// Strict tests, top, bottom, left, right, each on what the one before left: a ball
// landing exactly on an edge keeps going.
void Form1::Timer3_Timer() {
  GameState& s = state_;
  const Element& box = *e_.logobox;
  double boxLeft = box.left();
  double boxTop = box.top();
  double boxRight = boxLeft + box.width();
  double boxBottom = boxTop + box.height();
  for (int i = 0; i < kLogoBalls; ++i) {
    Element* ball = e_.logoball->member(i);
    if (!ball) continue;
    double x = static_cast<double>(ball->left()) + s.logoxspeed[i];
    float y = static_cast<float>(static_cast<double>(ball->top()) + s.logoyspeed[i]);
    double height = ball->height();
    double width = ball->width();
    if (y < boxTop) {
      y = static_cast<float>(boxTop);
      s.logoyspeed[i] = toInt16(-static_cast<double>(s.logoyspeed[i]));
    }
    if (y + height > boxBottom) {
      y = static_cast<float>(boxBottom - height);
      s.logoyspeed[i] = toInt16(-static_cast<double>(s.logoyspeed[i]));
    }
    if (x < boxLeft) {
      x = boxLeft;
      s.logoxspeed[i] = -s.logoxspeed[i];
    }
    if (x + width > boxRight) {
      x = boxRight - width;
      s.logoxspeed[i] = -s.logoxspeed[i];
    }
    ball->move(static_cast<float>(x), y);
  }
}

}  // namespace tilerush
