// The window as a front end of the stage: Qt's events become the stage's, at the real
// instant they happen, and what the stage says to show is drawn in the one window.
// One precise wake-up at the next instant something falls due moves the game shown.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "controls/controls.h"
#include "display/qt/game_window.h"
#include "game/paced_game.h"
#include "game/session.h"
#include "stage/stage.h"
#include "stage/view.h"

namespace tilerush {

class Gamepads;

class QtGame : public QObject, private stage::View {
  Q_OBJECT

 public:
  // Needs a QApplication. `seeds` gives the random seed of each start-up of the
  // player's game; with `recording`, the player's games are recorded.
  explicit QtGame(Session::SeedSource seeds, std::optional<stage::Recording> recording = std::nullopt);
  ~QtGame() override;

  // The player's own game: opened from its start the first time, going on where it
  // stood after that; the window shows and the clock runs.
  void open();
  // A new game of the player's own on a replay's first draws (--race), and on its level
  // set if it has one, in place of any game before.
  void race(std::uint64_t seed, std::optional<levels::LevelChoice> levels = std::nullopt);
  // A game of the player's own on a level set (--levels), and every game after it.
  void playLevels(levels::LevelChoice choice);
  // A day's challenge (--challenge, --day): a new game on the day's seed.
  void challenge(kept::Day day);
  // Shows the window and starts the clock on whatever the game shown holds.
  void show();

  // Pads are read at each wake-up of the game from now on.
  void usePads(Gamepads& pads) { pads_ = &pads; }
  // Brings game time up to the present: every tick due by now fires.
  void catchUp();
  // Gives the stage something the player did, at the present real instant, and wakes
  // the game at its next instant after.
  template <typename Call>
  void act(Call call) {
    call(realNs());
    wakeAtNextDue();
  }
  // Real nanoseconds on the clock the games are paced by.
  std::int64_t realNs() const { return realTime_.nsecsElapsed(); }

  stage::Stage& stage() { return *stage_; }
  // What the stage tells the window, for the window's own parts (a watched replay's
  // timeline, the sound) to draw or play.
  stage::View& view() { return *this; }
  // The player's own game.
  Session& session() { return stage_->ownGame(); }
  PacedGame& paced() { return stage_->ownPaced(); }
  Controls& controls() { return stage_->controls(); }
  Form1& form() { return session().form(); }
  Display& display() { return session().display(); }
  GameWindow& window() { return *window_; }

 Q_SIGNALS:
  // As the stage's View hears them: see stage/view.h.
  void modeChanged(stage::Mode mode, stage::Buttons buttons);
  void timelineChanged(const stage::Timeline& timeline);
  void verdictReached(const std::string& text, int status);
  void heard(Happening what, double before, double after);
  void requested(stage::Request request);
  // One of the player's games, whole, to be kept if it ranks.
  void gameFinished(const stage::FinishedGame& game);

 private:
  void connectInput();
  void wakeAtNextDue();

  // stage::View
  void show(Session& game) override;
  void drawing(bool on) override;
  void mode(stage::Mode mode, const stage::Buttons& buttons) override;
  void timeline(const stage::Timeline& timeline) override;
  void verdict(const std::string& text, int status) override;
  void happened(Happening what, double before, double after) override;
  void asked(stage::Request request) override;
  void gameEnded(const stage::FinishedGame& game) override;

  QElapsedTimer realTime_;
  // Goes after the stage, whose games it may still be shown as they go.
  std::unique_ptr<GameWindow> window_;
  std::unique_ptr<stage::Stage> stage_;
  // The game the window shows, and whether it follows its changes (not while a seek
  // runs ahead).
  Session* shown_ = nullptr;
  bool drawing_ = true;
  Gamepads* pads_ = nullptr;
  QTimer wake_;
};

}  // namespace tilerush
