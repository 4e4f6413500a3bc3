// The automatic player's eyes and hands: what it looks at, and the keys and clicks it gives.
#include "sim/autoplay.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string_view>

#include "game/form1.h"

namespace tilerush::sim {
namespace {

// Gameover first: its click rebuilds the window, which puts every other button away.
constexpr std::array<ButtonId, 3> kButtonsToClick = {ButtonId::GameOver, ButtonId::NextLevel,
                                                     ButtonId::Pause};

double centreX(const Element& e) { return static_cast<double>(e.left()) + e.width() / 2.0; }
double centreY(const Element& e) { return static_cast<double>(e.top()) + e.height() / 2.0; }

// A served ball sits with its bottom on the paddle's top, centred over it.
bool restsOnPaddle(const Element& ball, const Element& paddle) {
  double bottom = static_cast<double>(ball.top()) + ball.height();
  return std::fabs(bottom - paddle.top()) < 0.5 && std::fabs(centreX(ball) - centreX(paddle)) < 1;
}

// Where a point moving freely to `x` ends up between two walls that turn it back.
double bounceBetween(double x, double lo, double hi) {
  double span = hi - lo;
  if (!(span > 0) || !std::isfinite(x)) return lo;
  double u = std::fmod(x - lo, 2 * span);
  if (u < 0) u += 2 * span;
  return u <= span ? lo + u : lo + 2 * span - u;
}

}  // namespace

void Autoplayer::play(std::int64_t ms) {
  for (std::int64_t left = ms; left > 0;) {
    look();
    std::int64_t step = std::min<std::int64_t>(kLookEveryMs, left);
    session_.advanceBy(step);
    left -= step;
  }
}

void Autoplayer::look() {
  // During the pause after a lost ball the game takes no input; a player waits.
  if (session_.holding()) return;
  if (clickShownButton()) return;
  const Display& display = session_.display();
  const Element* ball = display.find("ball");
  const Element* paddle = display.find("paddle");
  const Element* board = display.find("board");
  if (!ball || !paddle || !board) return;

  Sighting seen{centreX(*ball), centreY(*ball), session_.now()};
  bool ballStill = !lastBall_ || (lastBall_->x == seen.x && lastBall_->y == seen.y);
  bool paddleMoved = lastPaddleLeft_ && *lastPaddleLeft_ != paddle->left();
  Key want = Key::None;
  if (ball->visible() && ballStill && restsOnPaddle(*ball, *paddle)) {
    want = launchKey();
  } else if (ball->visible()) {
    launching_ = false;
    want = steer(*ball, *paddle, *board);
  }
  hold(want, paddleMoved);
  lastBall_ = seen;
  lastPaddleLeft_ = paddle->left();
}

bool Autoplayer::clickShownButton() {
  for (ButtonId button : kButtonsToClick) {
    if (!session_.form().element(button).visible()) continue;
    hold(Key::None, false);
    session_.give(Input::click(button));
    return true;
  }
  return false;
}

// A served ball leaves against the paddle's motion; serves alternate between the two
// sides so that both halves of the board get played.
Autoplayer::Key Autoplayer::launchKey() {
  if (!launching_) {
    launching_ = true;
    nextLaunchRight_ = !nextLaunchRight_;
  }
  return nextLaunchRight_ ? Key::Right : Key::Left;
}

// A rising ball is followed; a falling one is met where it will come down, reckoned
// from the last two sightings and the side walls, with the half of the paddle that
// sends it back toward the middle of the board.
Autoplayer::Key Autoplayer::steer(const Element& ball, const Element& paddle, const Element& board) {
  const double ballWidth = ball.width();
  const double paddleWidth = paddle.width();
  const double lo = board.left();
  const double hi = lo + board.width();
  double target = centreX(ball);
  double dt = lastBall_ ? static_cast<double>(session_.now() - lastBall_->t) : 0;
  if (dt > 0) {
    double vx = (centreX(ball) - lastBall_->x) / dt;
    double vy = (centreY(ball) - lastBall_->y) / dt;
    double drop = static_cast<double>(paddle.top()) - (static_cast<double>(ball.top()) + ball.height());
    if (vy > 0 && drop >= 0) {
      double landing = bounceBetween(centreX(ball) + vx * drop / vy, lo + ballWidth / 2, hi - ballWidth / 2);
      double aim = paddleWidth / 4;
      target = landing < (lo + hi) / 2 ? landing - aim : landing + aim;
    }
  }
  // A ball coming down by a side wall needs the paddle right against that wall: a
  // ball flush with the paddle's end is not returned.
  const double paddleLeft = paddle.left();
  if (target < lo + paddleWidth / 2) return paddleLeft > lo ? Key::Left : Key::None;
  if (target > hi - paddleWidth / 2) return paddleLeft + paddleWidth < hi ? Key::Right : Key::None;
  double gap = target - centreX(paddle);
  // Close enough is an eighth of the paddle: a band wider than one paddle step, so
  // the paddle can always come to rest inside it.
  if (std::fabs(gap) <= paddleWidth / 8) return Key::None;
  return gap > 0 ? Key::Right : Key::Left;
}

// A wanted key is pressed again at every look, as a held key repeats: a serve stops
// the paddle even while a key is held. With no key wanted, whatever is held is let
// go, and so is a key someone else left down, seen as a paddle that keeps moving.
void Autoplayer::hold(Key key, bool paddleMoved) {
  if (key == Key::None) {
    if (held_ != Key::None || paddleMoved) press(false, held_ == Key::None ? Key::Left : held_);
    held_ = Key::None;
    return;
  }
  if (held_ != Key::None && held_ != key) press(false, held_);
  press(true, key);
  held_ = key;
}

void Autoplayer::press(bool down, Key key) {
  const int code = key == Key::Right ? kKeyRight : kKeyLeft;
  session_.give(down ? Input::keyDown(code) : Input::keyUp(code));
}

}  // namespace tilerush::sim
