// A replay watched in the window like a video: the checked replay handed to the stage
// (a game of its own beside the player's), its timeline under the game area, whose
// controls are the stage's calls, and the verdict said once on standard output.
#pragma once

#include <QObject>
#include <ostream>
#include <string>

#include "app/qt_game.h"
#include "app/replay_source.h"
#include "app/replay_timeline.h"
#include "sim/replay_show.h"
#include "stage/viewing.h"

namespace tilerush {

class Theatre : public QObject {
  Q_OBJECT

 public:
  // Watches `replay` in `game`'s window, which then carries the timeline, playing it
  // from its start. `out` gets the verdict, once, when the replay first reaches its end.
  Theatre(QtGame& game, CheckedReplay replay, std::ostream& out);
  // Takes the timeline away; the game shown stays as it is.
  ~Theatre() override;

  // "Play this game": a game of the player's own on the replay's first draws.
  void playThisGame();
  // "Back to my game".
  void backToMyGame();

  // The replay watched, while it is.
  bool watching() const { return viewing_ != nullptr; }
  const sim::ReplayShow& show() const { return viewing_->show(); }
  Session& watchedGame() { return viewing_->game(); }
  ReplayTimeline& timeline() { return *timeline_; }
  // The verdict's status: 0 once every expectation held, 1 when one did not, 2 when
  // a line could not be played (and 0 before the end).
  int status() const { return status_; }

 private:
  void modeChanged(stage::Mode mode, const stage::Buttons& buttons);
  void ended(const std::string& verdict, int status);

  QtGame& game_;
  std::ostream& out_;
  ReplayTimeline* timeline_;
  // The stage's, while it is watched.
  stage::Viewing* viewing_ = nullptr;
  bool said_ = false;
  int status_ = 0;
};

}  // namespace tilerush
