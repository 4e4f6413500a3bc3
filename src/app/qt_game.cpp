// Qt's events as the stage's, each at the real instant it happens, and the stage's
// word drawn: which game the window shows, and when it follows that game's changes.
#include "app/qt_game.h"

#include <utility>

#include "app/gamepads.h"
#include "game/layout.h"

namespace tilerush {

QtGame::QtGame(Session::SeedSource seeds, std::optional<stage::Recording> recording) {
  realTime_.start();
  stage_ = std::make_unique<stage::Stage>(view(), std::move(seeds), std::move(recording));
  Session& own = stage_->ownGame();
  window_ = std::make_unique<GameWindow>(own.display(), kWindowCaption, kWindowWidth, kWindowHeight);
  shown_ = &own;
  own.display().addObserver(window_.get());
  window_->canvas().setReadouts(
      {{"Score", "showscore"}, {"Best score", "highscore"}, {"Lives", "life"}, {"Bricks left", "numbricks"}});
  wake_.setSingleShot(true);
  // A coarse timer would let the 25 ms beat wander by several milliseconds.
  wake_.setTimerType(Qt::PreciseTimer);
  connect(&wake_, &QTimer::timeout, this, &QtGame::catchUp);
  connectInput();
}

QtGame::~QtGame() {
  if (shown_ && drawing_) shown_->display().removeObserver(window_.get());
  shown_ = nullptr;
  stage_.reset();
}

void QtGame::connectInput() {
  GameWindow* window = window_.get();
  connect(window, &GameWindow::keyDown, this, [this](int code, int shift, bool repeat) {
    act([&](std::int64_t ns) { stage_->keyDown(code, shift, repeat, ns); });
  });
  connect(window, &GameWindow::keyUp, this,
          [this](int code, int shift) { act([&](std::int64_t ns) { stage_->keyUp(code, shift, ns); }); });
  connect(window, &GameWindow::pointerMoved, this, [this](QPointF twips) {
    act([&](std::int64_t ns) { stage_->pointerAt(GamePoint{twips.x(), twips.y()}, ns); });
  });
  connect(window, &GameWindow::pointerGone, this,
          [this] { act([&](std::int64_t ns) { stage_->pointerAt(std::nullopt, ns); }); });
  connect(window, &GameWindow::playerLeft, this,
          [this] { act([&](std::int64_t ns) { stage_->playerLeft(ns); }); });
  connect(window, &GameWindow::buttonClicked, this, [this](const QString& name) {
    if (std::optional<ButtonId> button = buttonNamed(name.toStdString()))
      act([&](std::int64_t ns) { stage_->click(*button, ns); });
  });
}

// The clock starts once the window is up: making it takes a few milliseconds too.
void QtGame::open() {
  window_->show();
  window_->setFocus();
  act([&](std::int64_t ns) {
    stage_->playOwnGame(ns);
    // Opening a game (its start-up) takes a few milliseconds, not of its own time.
    stage_->resume(realNs());
  });
}

void QtGame::race(std::uint64_t seed, std::optional<levels::LevelChoice> levels) {
  window_->show();
  window_->setFocus();
  act([&](std::int64_t ns) {
    stage_->race(seed, ns, std::move(levels));
    stage_->resume(realNs());
  });
}

void QtGame::playLevels(levels::LevelChoice choice) {
  window_->show();
  window_->setFocus();
  act([&](std::int64_t ns) {
    stage_->playLevels(std::move(choice), ns);
    stage_->resume(realNs());
  });
}

void QtGame::challenge(kept::Day day) {
  window_->show();
  window_->setFocus();
  act([&](std::int64_t ns) {
    stage_->challenge(day, ns);
    stage_->resume(realNs());
  });
}

void QtGame::show() {
  window_->show();
  window_->setFocus();
  act([&](std::int64_t ns) { stage_->resume(ns); });
}

void QtGame::catchUp() {
  const std::int64_t now = realNs();
  stage_->wake(now);
  // Where SDL finds pads plugged in, and hears what they did.
  if (pads_) pads_->poll(*stage_, now);
  wakeAtNextDue();
}

void QtGame::wakeAtNextDue() {
  const std::optional<std::int64_t> ns = stage_->wakeDelayNs();
  if (!ns) {
    wake_.stop();
    return;
  }
  wake_.start(static_cast<int>((*ns + kNsPerMs - 1) / kNsPerMs));
}

void QtGame::show(Session& game) {
  // The player's game lasts as long as the stage; a watched one is let go before
  // another game is shown, and the window's place among its observers with it.
  if (shown_ == &stage_->ownGame() && drawing_) shown_->display().removeObserver(window_.get());
  shown_ = &game;
  drawing_ = true;
  game.display().addObserver(window_.get());
  window_->showDisplay(game.display());
  window_->canvas().announceReadouts();
}

// A seek runs the game shown ahead faster than it could be painted: nothing of it is
// followed, and all of it is drawn again once it stands.
void QtGame::drawing(bool on) {
  if (on == drawing_) return;
  drawing_ = on;
  if (!shown_) return;
  Display& display = shown_->display();
  if (!on) {
    display.removeObserver(window_.get());
    return;
  }
  display.addObserver(window_.get());
  window_->displayRebuilt();
  // A screen reader hears the counters again after a jump, as it does when play changes them.
  window_->canvas().announceReadouts();
}

void QtGame::mode(stage::Mode mode, const stage::Buttons& buttons) { Q_EMIT modeChanged(mode, buttons); }

void QtGame::timeline(const stage::Timeline& timeline) { Q_EMIT timelineChanged(timeline); }

void QtGame::verdict(const std::string& text, int status) { Q_EMIT verdictReached(text, status); }

void QtGame::happened(Happening what, double before, double after) { Q_EMIT heard(what, before, after); }

void QtGame::asked(stage::Request request) {
  if (request == stage::Request::ToggleFullScreen)
    window_->askScreen(GameWindow::ScreenAsk::ToggleFullScreen);
  if (request == stage::Request::LeaveFullScreen) window_->askScreen(GameWindow::ScreenAsk::LeaveFullScreen);
  Q_EMIT requested(request);
}

// Kept before the stage goes on: what hears it only writes files.
void QtGame::gameEnded(const stage::FinishedGame& game) { Q_EMIT gameFinished(game); }

}  // namespace tilerush
