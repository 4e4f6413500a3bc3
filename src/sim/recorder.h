// Writing a game as a replay while it is played: a script that tilerush-sim, the
// window and the page all play back the same.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "game/session.h"

namespace tilerush::sim {

// The `expect` lines a replay ends with: the score, the lives, where play stands, and
// where the ball and paddle are, as `session` holds them now.
std::string expectationLines(const Session& session);

// Header comments, `high N` (the High the game inherits, where it has one), `seed N`, `open`, then `advance
// MS` and the input in the order it was given; at the end a last `advance` and `expect` lines for the final
// state. A key-down repeated by a held key while the paddle already moves that way changes nothing in the
// game and is left out, which keeps a minute of play to a few kilobytes; input given during the lost-ball
// pause is always written, since what it will do is known only at the pause's end. Each line goes to the sink
// as it is made, so a game cut short still replays up to its last input.
class Recorder : public InputLog {
 public:
  // Gets whole lines as they are made, each with its newline.
  using LineSink = std::function<void(std::string_view line)>;

  // Writes the header at once: `version` of the game, `date` of the recording.
  Recorder(Session& session, LineSink sink, std::string_view version, std::string_view date);
  Recorder(const Recorder&) = delete;
  Recorder& operator=(const Recorder&) = delete;

  // InputLog
  void opening(std::uint64_t seed) override;
  void giving(const Input& input) override;
  void given(const Input& input, bool held, bool changedGame) override;

  // A comment line (`# race`, `# challenge 2026-12-10`) written just before the `seed`
  // of every opening from now on, so that a replay says what kind of game it is; empty
  // for none.
  void markOpenings(std::string comment) { mark_ = std::move(comment); }

  // What ends a replay now, without writing it: the game time since the last line
  // and what the game holds at this instant, as expectations.
  std::string closing() const;
  // Writes closing(); the replay is complete.
  void finish();

 private:
  void write(const std::string& line);
  std::string advanceLines(std::int64_t to) const;

  Session& session_;
  LineSink sink_;
  std::int64_t writtenTime_ = 0;
  std::optional<std::uint64_t> writtenSeed_;
  std::optional<std::uint64_t> seedOfClick_;
  std::string mark_;
};

}  // namespace tilerush::sim
