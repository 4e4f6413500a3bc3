// One of the player's kept games: what the list shows of it, and the replay that
// proves it. Everything but the replay is derived from the replay.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "game/result.h"
#include "kept/challenge.h"

namespace tilerush::kept {

enum class GameKind { Plain, Challenge, Race };

struct KeptGame {
  std::int64_t score = 0;   // `points` where the replay ends
  int level = 0;            // `levelno` reached
  int bricksLeft = 0;       // `bricksleft` where the replay ends
  std::int64_t timeMs = 0;  // game time of the whole replay
  std::string date;         // the recording's, as its header says (ISO 8601, UTC)
  GameKind kind = GameKind::Plain;
  std::optional<Day> day;  // the challenge's day, for GameKind::Challenge
  std::string replay;      // the replay, byte for byte

  // What two lists agree a game is: 16 hex digits of the FNV-1a hash (64-bit) of
  // its replay.
  std::string id() const;
  bool operator==(const KeptGame&) const = default;
};

// The id of a replay's text (KeptGame::id).
std::string replayId(std::string_view replay);

// Plays `replay` through on a headless game, as tilerush-sim does, and derives the
// kept game from where it ends and from its comment lines (`# challenge YYYY-MM-DD`,
// `# race`, the header's date). Refused, with one sentence, is anything that is not
// a replay of a seeded game (a broken script, a `set`, `draws`, `tick`, `autoplay`
// or `dump` line, no `seed` before `open`), and a replay whose expectations fail.
Result<KeptGame> keptFromReplay(std::string_view replay);

}  // namespace tilerush::kept
