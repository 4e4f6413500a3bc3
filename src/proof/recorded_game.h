// A recorded game read line by line and written again in its plainest form: the lines a
// recorder writes and nothing else, so that no line can set the score it claims.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "game/result.h"
#include "game/session.h"

namespace tilerush::proof {

// The game time a game sent to the board may last: a day.
inline constexpr std::int64_t kLongestGameMs = 24LL * 3'600'000;

// A line of the plain form, and the line of the sender's text it came from.
struct PlainLine {
  std::string text;  // without its newline
  int source = 0;
};

// One input of the plain form as the check plays it, read once: the check and the
// board's rewrite both come from the same pass over the sender's lines.
struct PlainStep {
  enum class Kind : std::uint8_t {
    Line,     // `high`, `lastcell`, `roll`, `seed` or `open`: carried out as its text
    Advance,  // game time passing
    Give,     // a key or a click
  };
  Kind kind = Kind::Line;
  int source = 0;
  std::int64_t ms = 0;  // Advance
  Input input;          // Give, its line the sender's
  // Line: where its text is in RecordedGame::plainInputs.
  std::uint32_t at = 0, length = 0;
};

struct RecordedGame {
  std::uint64_t seed = 0;
  // `high`, `lastcell`, `roll`, `seed`, `open`, then `advance`, `key` and `click` lines, each
  // number as the runner reads it and each run of advances as one: the same game
  // always comes out as the same text, whatever comments or spelling it was sent with.
  // Each line ends with a newline.
  std::string plainInputs;
  // The same lines, as the check carries them out.
  std::vector<PlainStep> steps;
  // The sender's closing `expect` lines, which must all hold.
  std::vector<PlainLine> expectations;
  // Where the game ends at a click on "Game Over", that click's line; 0 for none. The
  // click is not among the inputs: what follows it would be another game.
  int gameOverClick = 0;
  std::int64_t gameTimeMs = 0;
};

// Reads `text` as one recorded game: comments, `high`, `lastcell` and `roll` once each and one
// `seed` before `open`, then `advance`, `key` and `click` lines, then `expect` lines.
// Anything else is refused in one sentence naming its line.
Result<RecordedGame> readRecordedGame(std::string_view text);

}  // namespace tilerush::proof
