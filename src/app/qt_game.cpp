// One precise wake-up at the next instant something falls due pumps the game's clock
// with real elapsed time; keys and clicks are given at the clock's present instant.
#include "app/qt_game.h"

#include <algorithm>

#include "game/layout.h"

namespace tilerush {
namespace {

constexpr std::int64_t kNsPerMs = 1'000'000;

}  // namespace

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
  pacer_.restart();
  pacer_.step(realTime_.nsecsElapsed());
  wakeAtNextDue();
}

void QtGame::give(const Input& input) {
  if (!takeInput_ || !session_.isOpen()) return;
  catchUp();
  session_.give(input);
  wakeAtNextDue();
}

// The wake-up, not a call from here, runs `reached`: a replay asking for one stretch
// after another never nests one inside the other.
void QtGame::runUntil(std::int64_t until, std::function<void()> reached) {
  until_ = until;
  reached_ = std::move(reached);
  wakeAtNextDue();
}

void QtGame::catchUp() {
  std::int64_t target = session_.now() + pacer_.step(realTime_.nsecsElapsed());
  if (until_) target = std::min(target, *until_);
  session_.advanceTo(target);
  if (until_ && session_.now() >= *until_) {
    until_.reset();
    // May ask for the next stretch at once.
    if (auto reached = std::exchange(reached_, nullptr)) reached();
  }
  wakeAtNextDue();
}

void QtGame::wakeAtNextDue() {
  std::optional<std::int64_t> next = session_.nextDue();
  if (until_ && (!next || *until_ < *next)) next = until_;
  if (!next) {
    wake_.stop();
    return;
  }
  const std::int64_t ns = pacer_.realDelayNs(*next - session_.now());
  wake_.start(static_cast<int>((ns + kNsPerMs - 1) / kNsPerMs));
}

}  // namespace tilerush
