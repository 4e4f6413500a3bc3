// A replay watched in the page: its game runs in the watcher's program
// (tilerush-watch.wasm), loaded only when a replay is chosen, in the same worker as
// the player's game. Each of the stage's calls goes there at once, through the page's
// script (web/page-calls.js), and is done when it returns.
#pragma once

#include <cstdint>
#include <optional>
#include <utility>

#include "stage/watched.h"

namespace tilerush {

class RemoteWatched : public stage::Watched {
 public:
  // The watcher holds a replay that passed its check; `firstSeed` is what it opens with,
  // on `firstLevels` where it is played on a set of its own.
  RemoteWatched(std::optional<std::uint64_t> firstSeed, std::optional<levels::LevelChoice> firstLevels)
      : firstSeed_(firstSeed), firstLevels_(std::move(firstLevels)) {}
  RemoteWatched(const RemoteWatched&) = delete;
  RemoteWatched& operator=(const RemoteWatched&) = delete;
  // The watcher lets the replay go.
  ~RemoteWatched() override;

  void start(std::int64_t realNs) override;
  void key(int code, bool repeat, std::int64_t realNs) override;
  void playOrPause(std::int64_t realNs) override;
  void setSpeed(int index, std::int64_t realNs) override;
  void seek(std::int64_t t, std::int64_t realNs) override;
  void catchUp(std::int64_t realNs) override;
  void restartClock(std::int64_t realNs) override;
  std::optional<std::int64_t> wakeDelayNs() const override;
  std::optional<std::uint64_t> firstSeed() const override { return firstSeed_; }
  std::optional<levels::LevelChoice> firstLevels() const override { return firstLevels_; }

 private:
  std::optional<std::uint64_t> firstSeed_;
  std::optional<levels::LevelChoice> firstLevels_;
};

}  // namespace tilerush
