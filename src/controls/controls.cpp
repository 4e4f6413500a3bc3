// Directions held by a pointer or a pad, as the arrow keys; pad buttons and leaving as
// P and clicks.
#include "controls/controls.h"

#include "game/form1.h"

namespace tilerush {
namespace {

int keyOf(Steer steer) { return steer == Steer::Left ? kKeyLeft : kKeyRight; }
double paddledirOf(Steer steer) { return steer == Steer::Left ? kPaddleLeft : kPaddleRight; }

}  // namespace

Steer stickSteer(double axis) {
  if (axis <= -kStickDeadZone) return Steer::Left;
  if (axis >= kStickDeadZone) return Steer::Right;
  return Steer::None;
}

Controls::Controls(PacedGame& game)
    : game_(game), session_(game.session()), looking_(game_.afterCatchUp([this] { look(); })) {}

Controls::~Controls() = default;

bool Controls::ready() const { return session_.isOpen() && !game_.still(); }

void Controls::key(bool down, int code, std::int64_t realNs) {
  game_.catchUp(realNs);
  if (!ready()) return;
  if (down && holder_ != Holder::None) {
    hold(Steer::None);
    holder_ = Holder::None;
  }
  session_.give(down ? Input::keyDown(code) : Input::keyUp(code));
}

void Controls::pointerAt(std::optional<GamePoint> at, std::int64_t realNs) {
  game_.catchUp(realNs);
  if (!ready()) return;
  if (!at || !overBoard(*at)) {
    pointerX_.reset();
    if (holder_ == Holder::Pointer) {
      hold(Steer::None);
      holder_ = Holder::None;
    }
    return;
  }
  pointerX_ = at->x;
  holder_ = Holder::Pointer;
  hold(pointerSteer());
}

void Controls::padSteers(Steer steer, std::int64_t realNs) {
  game_.catchUp(realNs);
  if (!ready() || steer == pad_) return;
  pad_ = steer;
  if (steer != Steer::None) {
    holder_ = Holder::Pad;
    hold(steer);
  } else if (holder_ == Holder::Pad) {
    // A pad let go lets go of what it held, not of what the pointer took over since.
    holder_ = Holder::None;
    hold(Steer::None);
  }
}

void Controls::padStart(std::int64_t realNs) {
  game_.catchUp(realNs);
  if (!ready()) return;
  if (std::optional<ButtonId> button = shownButton()) {
    session_.give(Input::click(*button));
  } else {
    pressP();
  }
}

void Controls::padA(std::int64_t realNs) {
  game_.catchUp(realNs);
  if (!ready()) return;
  if (std::optional<ButtonId> button = shownButton()) session_.give(Input::click(*button));
}

void Controls::playerLeft(std::int64_t realNs) {
  game_.catchUp(realNs);
  if (!ready()) return;
  hold(Steer::None);
  holder_ = Holder::None;
  pad_ = Steer::None;
  pointerX_.reset();
  // Input given now would be held for the pause's end and carried out whatever that
  // end brings, a "Game Over" included; so the P waits, and is given only if a ball
  // was served.
  if (session_.holding()) {
    leftDuringHold_ = true;
  } else if (playRuns()) {
    pressP();
  }
}

// With the clock at the present instant, after game time moved.
void Controls::look() {
  if (session_.holding()) return;
  if (leftDuringHold_) {
    leftDuringHold_ = false;
    if (playRuns()) pressP();
  }
  // The paddle may have moved, or a serve moved it: the pointer steers anew.
  if (holder_ == Holder::Pointer && pointerX_) hold(pointerSteer());
  pressAgainAfterAPaddleTick();
}

void Controls::hold(Steer steer) {
  if (steer == held_) return;
  if (held_ != Steer::None) session_.give(Input::keyUp(keyOf(held_)));
  held_ = steer;
  if (held_ == Steer::None) return;
  session_.give(Input::keyDown(keyOf(held_)));
  paddleTicksSeen_ = session_.firings(TimerId::Timer1);
}

// A serve stills the paddle, and so does the release of any key; a held keyboard key
// repeats its key-down and so moves the paddle again. A pointer or a pad repeats
// nothing, so its key-down is given again once a paddle tick has found the paddle not
// going the held way.
void Controls::pressAgainAfterAPaddleTick() {
  if (held_ == Steer::None) return;
  const std::uint64_t ticks = session_.firings(TimerId::Timer1);
  if (session_.state().paddledir == paddledirOf(held_)) {
    paddleTicksSeen_ = ticks;
  } else if (ticks != paddleTicksSeen_) {
    session_.give(Input::keyDown(keyOf(held_)));
    paddleTicksSeen_ = ticks;
  }
}

// Right while the pointer is right of the paddle's middle by more than half of one
// paddle step (a step is 2 x speed), left while it is left of it by more, and
// nothing within: the paddle stops where it covers the pointer.
Steer Controls::pointerSteer() const {
  const Rect& paddle = session_.display().find("paddle")->bounds();
  const double middle = static_cast<double>(paddle.left) + static_cast<double>(paddle.width) / 2;
  const double halfStep = session_.state().speed;
  if (*pointerX_ > middle + halfStep) return Steer::Right;
  if (*pointerX_ < middle - halfStep) return Steer::Left;
  return Steer::None;
}

bool Controls::overBoard(const GamePoint& at) const {
  const Rect& board = session_.display().find("board")->bounds();
  return at.x >= board.left && at.x < static_cast<double>(board.left) + board.width && at.y >= board.top &&
         at.y < static_cast<double>(board.top) + board.height;
}

// The ball timers run: a ball is in play or served, not paused, between levels or over.
bool Controls::playRuns() const {
  const Form1& form = session_.form();
  return form.element(TimerId::Timer1).interval() > 0 && form.element(TimerId::Timer2).interval() > 0;
}

// Pause first: it can show over the level button or "Game Over", and is what goes on.
std::optional<ButtonId> Controls::shownButton() const {
  for (ButtonId button : {ButtonId::Pause, ButtonId::NextLevel, ButtonId::GameOver}) {
    if (session_.form().element(button).visible()) return button;
  }
  return std::nullopt;
}

void Controls::pressP() {
  session_.give(Input::keyDown(kKeyP));
  session_.give(Input::keyUp(kKeyP));
}

}  // namespace tilerush
