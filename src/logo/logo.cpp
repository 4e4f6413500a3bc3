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
    const float size = stored(s.cellh / 3);
    ball.setWidth(size);
    ball.setHeight(size);
    ball.setTop(stored(box.top() + box.height() / 2.0));
    ball.setLeft(stored(box.left() + box.width() / 2.0));
    ball.setVisible(true);
    display_.bringToFront(ball);
  }
}

// Strict tests, top, bottom, left, right, each on what the one before left: a ball
// landing exactly on an edge keeps going.
void Form1::Timer3_Timer() {
  GameState& s = state_;
  const Element& box = *e_.logobox;
  const double boxLeft = box.left();
  const double boxTop = box.top();
  const double boxRight = rightOf(box);
  const double boxBottom = bottomOf(box);
  for (int i = 0; i < kLogoBalls; ++i) {
    Element* ball = e_.logoball->member(i);
    if (!ball) continue;
    double x = ball->left() + s.logoxspeed[i];
    // The vertical step is taken in single precision.
    const double dy = s.logoyspeed[i];
    float y = stored(ball->top() + dy);
    const double height = ball->height();
    const double width = ball->width();
    if (y < boxTop) {
      y = stored(boxTop);
      s.logoyspeed[i] = toInt16(-s.logoyspeed[i]);
    }
    if (y + height > boxBottom) {
      y = stored(boxBottom - height);
      s.logoyspeed[i] = toInt16(-s.logoyspeed[i]);
    }
    if (x < boxLeft) {
      x = boxLeft;
      s.logoxspeed[i] = -s.logoxspeed[i];
    }
    if (x + width > boxRight) {
      x = boxRight - width;
      s.logoxspeed[i] = -s.logoxspeed[i];
    }
    ball->move(stored(x), y);
  }
}

}  // namespace tilerush
