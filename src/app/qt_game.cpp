// One precise wake-up at the next instant something falls due pumps the game's clock
// with real elapsed time; keys and clicks are given at the clock's present instant.
#include "app/qt_game.h"

#include "app/gamepads.h"
#include "game/layout.h"

namespace tilerush {

QtGame::QtGame(Session::SeedSource seeds)
    : session_(std::move(seeds)),
      window_(std::make_unique<GameWindow>(session_.display(), kWindowCaption, kWindowWidth, kWindowHeight)) {
  session_.display().addObserver(window_.get());
  window_->canvas().setReadouts(
      {{"Score", "showscore"}, {"Best score", "highscore"}, {"Lives", "life"}, {"Bricks left", "numbricks"}});
  wake_.setSingleShot(true);
  // A coarse timer would let the 25 ms beat wander by several milliseconds.
  wake_.setTimerType(Qt::PreciseTimer);
  connect(&wake_, &QTimer::timeout, this, &QtGame::catchUp);
  connectInput();
}

QtGame::~QtGame() { session_.display().removeObserver(window_.get()); }

void QtGame::connectInput() {
  GameWindow* window = window_.get();
  // Keys, the pointer and the player leaving all pass through the controls, which
  // tell a key taking over from the pointer, and the pointer steering again.
  connect(window, &GameWindow::keyDown, this,
          [this](int code, int) { control([&](std::int64_t ns) { controls_.key(true, code, ns); }); });
  connect(window, &GameWindow::keyUp, this,
          [this](int code, int) { control([&](std::int64_t ns) { controls_.key(false, code, ns); }); });
  connect(window, &GameWindow::pointerMoved, this, [this](QPointF twips) {
    control([&](std::int64_t ns) { controls_.pointerAt(GamePoint{twips.x(), twips.y()}, ns); });
  });
  connect(window, &GameWindow::pointerGone, this,
          [this] { control([&](std::int64_t ns) { controls_.pointerAt(std::nullopt, ns); }); });
  connect(window, &GameWindow::playerLeft, this,
          [this] { control([&](std::int64_t ns) { controls_.playerLeft(ns); }); });
  connect(window, &GameWindow::buttonClicked, this, [this](const QString& name) {
    if (std::optional<ButtonId> button = buttonNamed(name.toStdString())) give(Input::click(*button));
  });
}

void QtGame::open() {
  session_.open();
  show();
}

void QtGame::show() {
  window_->show();
  window_->setFocus();
  realTime_.start();
  paced_.restartClock(realTime_.nsecsElapsed());
  wakeAtNextDue();
}

template <typename Call>
void QtGame::control(Call call) {
  if (!takeInput_) return;
  call(realTime_.nsecsElapsed());
  wakeAtNextDue();
}

void QtGame::give(const Input& input) {
  if (!takeInput_) return;
  paced_.give(input, realTime_.nsecsElapsed());
  wakeAtNextDue();
}

void QtGame::catchUp() {
  paced_.catchUp(realTime_.nsecsElapsed());
  // Where SDL finds pads plugged in, and hears what they did.
  if (pads_ && takeInput_) pads_->poll(controls_, realTime_.nsecsElapsed());
  wakeAtNextDue();
}

void QtGame::wakeAtNextDue() {
  const std::optional<std::int64_t> ns = paced_.wakeDelayNs();
  if (!ns) {
    wake_.stop();
    return;
  }
  wake_.start(static_cast<int>((*ns + kNsPerMs - 1) / kNsPerMs));
}

}  // namespace tilerush
