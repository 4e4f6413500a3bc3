// A replay watched in the window like a video: the checked replay shown on the
// window's own game through ReplayShow, its timeline under the game area, and the
// viewer's keys. The watched game hears nothing of the viewer.
#pragma once

#include <QObject>
#include <QTimer>
#include <memory>
#include <ostream>
#include <set>

#include "app/qt_game.h"
#include "app/replay_source.h"
#include "app/replay_timeline.h"
#include "game/listener.h"
#include "sim/replay_show.h"

namespace tilerush {

class Theatre : public QObject {
  Q_OBJECT

 public:
  // Shows `replay` on `game`, whose window then carries the timeline, and starts
  // playing it. `hearing` is told what happens at the normal speed only. `out` gets
  // the verdict, once, when the replay first reaches its end.
  Theatre(QtGame& game, CheckedReplay replay, GameListener* hearing, std::ostream& out);
  // Takes the timeline away and leaves the game's session to whoever comes next.
  ~Theatre() override;

  sim::ReplayShow& show() { return *show_; }
  ReplayTimeline& timeline() { return *timeline_; }
  // 0 once every expectation held, 1 when one did not (and 0 before the end).
  int status() const { return show_->status(); }

 Q_SIGNALS:
  // The viewer asked to play the replay's game themselves.
  void raceAsked();

 private:
  void keyDown(int code);
  void seek(std::int64_t ms);
  void playOrPause();
  void setSpeed(int index);
  void ended(const std::string& verdict);
  // While the show runs ahead, nothing is painted or heard; after, all is repainted.
  void runningAhead(bool ahead);
  void hearAtNormalSpeed();
  // Whatever changed, the game is woken at its next instant and the bar follows.
  void settle();

  QtGame& game_;
  GameListener* hearing_;
  std::ostream& out_;
  ReplayTimeline* timeline_;
  std::unique_ptr<sim::ReplayShow> show_;
  // The time shown on the bar follows play ten times a second.
  QTimer follow_;
  // Keys down whose first press was acted on: a held Space does not toggle again.
  std::set<int> held_;
};

}  // namespace tilerush
