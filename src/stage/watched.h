// A replay being watched, wherever its game runs: in the window, beside the player's
// game (Viewing); in the page, in the watching program of its own that is loaded only
// when a replay is watched, reached through the page's worker.
#pragma once

#include <cstdint>
#include <optional>

#include "levels/level_set.h"

namespace tilerush::stage {

class Watched {
 public:
  virtual ~Watched() = default;

  // Shown from real instant `realNs` (nanoseconds from any fixed origin) on, playing
  // from its start.
  virtual void start(std::int64_t realNs) = 0;
  // A key went down (again, when `repeat`: it is held), by the game's key code.
  virtual void key(int code, bool repeat, std::int64_t realNs) = 0;
  virtual void playOrPause(std::int64_t realNs) = 0;
  // One of sim::kSpeeds, slowest first.
  virtual void setSpeed(int index, std::int64_t realNs) = 0;
  // The replay's game at game millisecond `t`.
  virtual void seek(std::int64_t t, std::int64_t realNs) = 0;

  // The clock, as the player's own game's: brought up to `realNs`, or going on from
  // it as if no real time had passed (the page was hidden); when it next needs waking.
  virtual void catchUp(std::int64_t realNs) = 0;
  virtual void restartClock(std::int64_t realNs) = 0;
  virtual std::optional<std::int64_t> wakeDelayNs() const = 0;

  // The seed the replay's first game opens with, for "Play this game"; none when it
  // opens unseeded.
  virtual std::optional<std::uint64_t> firstSeed() const = 0;
  // The level set the replay's first game is played on, for "Play this game" too; none
  // for the game's own maps.
  virtual std::optional<levels::LevelChoice> firstLevels() const { return std::nullopt; }
};

}  // namespace tilerush::stage
