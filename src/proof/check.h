// The board's check of a game sent to it: the replay played through on the core, and
// everything the board shows of the game taken from that run, never from the sender.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "game/result.h"

namespace tilerush::proof {

struct ProvenGame {
  std::uint64_t seed = 0;
  std::int64_t score = 0;   // `points` where the game ends
  int level = 0;            // `levelno` reached
  int bricksLeft = 0;       // `bricksleft` where the game ends
  std::int64_t timeMs = 0;  // game time of the whole replay
  bool endedAtGameOver = false;
  // The board's own replay of the game: its seed and timed inputs in their plain form,
  // then the expectations the game ends with. It replays in tilerush-sim as it is.
  std::string replay;
  // What makes two sendings one entry: the SHA-256 of the seed and the timed inputs
  // in their plain form, so that comments and spelling change nothing.
  std::string identity;
};

// Plays `replayOrLink` (a replay's text, or a link's "r=1." and what follows) through
// to its end on a headless game. Refused, in one sentence, is a link that cannot be
// read, a replay inflated or sent past 16 MiB, anything but one recorded game (see
// readRecordedGame), a game longer than 24 hours, and an expectation that fails.
Result<ProvenGame> proveGame(std::string_view replayOrLink);

}  // namespace tilerush::proof
