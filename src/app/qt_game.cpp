// One precise wake-up at the next instant something falls due pumps the game's clock
// with real elapsed time; keys and clicks are given at the clock's present instant.
#include "app/qt_game.h"

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
  connect(window, &GameWindow::keyDown, this, [this](int code, int) { give(Input::keyDown(code)); });
  connect(window, &GameWindow::keyUp, this, [this](int code, int) { give(Input::keyUp(code)); });
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

void QtGame::give(const Input& input) {
  if (!takeInput_) return;
  paced_.give(input, realTime_.nsecsElapsed());
  wakeAtNextDue();
}

void QtGame::catchUp() {
  paced_.catchUp(realTime_.nsecsElapsed());
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
