// A replay watched as a video is: played at its pace at one of seven speeds, stood
// still and stepped, or taken to any instant of it at once, exactly.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <sstream>
#include <string>

#include "game/paced_game.h"
#include "sim/replay.h"

namespace tilerush::sim {

// The speeds a replay is watched at, slowest first.
inline constexpr std::array<Pacer::Rate, 7> kSpeeds = {
    {{1, 4}, {1, 2}, {1, 1}, {2, 1}, {4, 1}, {8, 1}, {16, 1}}};
inline constexpr int kNormalSpeed = 2;
// A step while paused, and a jump back or on.
inline constexpr std::int64_t kStepMs = 25;
inline constexpr std::int64_t kJumpMs = 5000;

// What the viewer's keys do, by the game's key codes: Space, - and +, . and , , Home,
// End, the arrows and Page Up and Down.
enum class TheatreKey {
  None,
  PlayOrPause,
  Slower,
  Faster,
  StepOn,
  StepBack,
  ToStart,
  ToEnd,
  Back,
  On,
  PreviousMark,
  NextMark
};
TheatreKey theatreKeyOf(int code);

class ReplayShow {
 public:
  // Told when the replay first reaches its end: "replay: all N expectations held", or
  // the first line that failed and why, and 0, 1 or 2 as tilerush-sim's status.
  using Ended = std::function<void(const std::string& verdict, int status)>;
  // Told before (true) and after (false) the show runs the replay faster than it is
  // shown, so that the front end neither paints nor sounds what it runs through.
  using Running = std::function<void(bool ahead)>;

  // Shows, on `game`'s session, a replay that passed its check, which found `facts`.
  // The game is taken to the replay's start, standing still until play().
  ReplayShow(PacedGame& game, std::string script, ReplayFacts facts, Ended ended, Running running = nullptr);
  ReplayShow(const ReplayShow&) = delete;
  ReplayShow& operator=(const ReplayShow&) = delete;
  ~ReplayShow();

  // Plays on at the present speed from real instant `realNs`; at the end, nothing.
  void play(std::int64_t realNs);
  void pause();
  bool playing() const { return playing_; }
  // The replay's game at game time `t` (kept within the replay), exactly as playing it
  // to `t` reaches it, its lines at `t` carried out. Playing goes on from there.
  void seek(std::int64_t t, std::int64_t realNs);
  // One of kSpeeds; sound only belongs to the normal one.
  void setSpeed(int index, std::int64_t realNs);
  int speed() const { return speed_; }
  // Carries out what a viewer's key does; false for a key that does nothing here.
  bool key(int code, std::int64_t realNs);

  std::int64_t now() const { return game_.session().now(); }
  std::int64_t length() const { return facts_.length; }
  const std::vector<Mark>& marks() const { return facts_.marks; }
  bool over() const { return over_; }
  const std::string& verdict() const { return verdict_; }
  int status() const { return status_; }

 private:
  void startAgain();
  void runTo(std::int64_t t);
  void nextStretch();
  void finish();
  void armStretch();
  std::int64_t markBefore(std::int64_t t) const;
  std::int64_t markAfter(std::int64_t t) const;

  PacedGame& game_;
  Session& session_;
  std::string script_;
  ReplayFacts facts_;
  Ended ended_;
  Running running_;
  std::istringstream lines_;
  // A replay's dumps have nowhere to go while it is watched.
  std::ostream dumps_{nullptr};
  std::unique_ptr<ReplayPace> pace_;
  std::optional<std::int64_t> until_;
  bool playing_ = false;
  bool over_ = false;
  bool told_ = false;
  int speed_ = kNormalSpeed;
  std::string verdict_;
  int status_ = 0;
};

}  // namespace tilerush::sim
