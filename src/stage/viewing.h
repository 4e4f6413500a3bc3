// A replay watched like a video on a game of its own: the viewer's keys and the
// timeline's controls as sim::ReplayShow's calls, its timeline told to the view, and
// its sound heard only at the normal speed.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "game/hook.h"
#include "game/paced_game.h"
#include "game/session.h"
#include "sim/replay.h"
#include "sim/replay_show.h"
#include "stage/view.h"
#include "stage/watched.h"

namespace tilerush::stage {

class Viewing : public Watched, private GameListener {
 public:
  // Shows `script`, a replay that passed its check, which found `facts`.
  Viewing(View& view, std::string script, sim::ReplayFacts facts);
  Viewing(const Viewing&) = delete;
  Viewing& operator=(const Viewing&) = delete;
  ~Viewing() override;

  // Watched
  void start(std::int64_t realNs) override;
  void key(int code, bool repeat, std::int64_t realNs) override;
  void playOrPause(std::int64_t realNs) override;
  void setSpeed(int index, std::int64_t realNs) override;
  void seek(std::int64_t t, std::int64_t realNs) override;
  void catchUp(std::int64_t realNs) override;
  void restartClock(std::int64_t realNs) override;
  std::optional<std::int64_t> wakeDelayNs() const override { return paced_.wakeDelayNs(); }
  std::optional<std::uint64_t> firstSeed() const override { return firstSeed_; }
  std::optional<levels::LevelChoice> firstLevels() const override { return firstLevels_; }

  const sim::ReplayShow& show() const { return show_; }
  Session& game() { return session_; }
  Timeline timeline() const;

 private:
  void happened(Happening what, double before, double after) override;
  void runningAhead(bool ahead);
  // After each of the viewer's acts: the timeline at once.
  void told(std::int64_t realNs);

  View& view_;
  Session session_;
  PacedGame paced_{session_};
  std::optional<std::uint64_t> firstSeed_;
  std::optional<levels::LevelChoice> firstLevels_;
  bool ahead_ = false;
  std::optional<std::int64_t> toldAtNs_;
  bool toldPlaying_ = false;
  bool toldOver_ = false;
  Hook hearing_;
  sim::ReplayShow show_;
};

}  // namespace tilerush::stage
