// A whole game in a Qt window: the session on the one clock, moved on by real time.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "controls/controls.h"
#include "display/qt/game_window.h"
#include "game/paced_game.h"
#include "game/session.h"

namespace tilerush {

class Gamepads;

class QtGame : public QObject {
  Q_OBJECT

 public:
  // Needs a QApplication. `seeds` gives the random seed of each start-up.
  explicit QtGame(Session::SeedSource seeds);
  ~QtGame() override;

  // Runs start-up, shows the window and starts the clock.
  void open();
  // Shows the window and starts the clock on whatever the session holds.
  void show();

  // Pads are read at each wake-up of the game from now on.
  void usePads(Gamepads& pads) { pads_ = &pads; }
  // While false, the player's keys and clicks do not reach the game (a replay plays).
  void takePlayerInput(bool take) { takeInput_ = take; }
  // Brings game time up to the present: every tick due by now fires.
  void catchUp();
  // Arms the one wake-up for the next instant something falls due, after the paced
  // game was told to stand, go or run at another rate (a watched replay).
  void wakeAtNextDue();
  // Real nanoseconds on the clock the game is paced by.
  std::int64_t realNs() const { return realTime_.nsecsElapsed(); }

  Session& session() { return session_; }
  PacedGame& paced() { return paced_; }
  Controls& controls() { return controls_; }
  Form1& form() { return session_.form(); }
  Display& display() { return session_.display(); }
  GameWindow& window() { return *window_; }

 private:
  void connectInput();
  void give(const Input& input);
  // Gives what a control did, at the present real instant, unless a replay plays.
  template <typename Call>
  void control(Call call);

  Session session_;
  PacedGame paced_{session_};
  Controls controls_{paced_};
  Gamepads* pads_ = nullptr;
  std::unique_ptr<GameWindow> window_;
  QElapsedTimer realTime_;
  QTimer wake_;
  bool takeInput_ = true;
};

}  // namespace tilerush
