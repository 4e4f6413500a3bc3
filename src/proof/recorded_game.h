// A recorded game read line by line and written again in its plainest form: the lines a
// recorder writes and nothing else, so that no line can set the score it claims.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "game/result.h"

namespace tilerush::proof {

// The game time a game sent to the board may last: a day.
inline constexpr std::int64_t kLongestGameMs = 24LL * 3'600'000;

// A line of the plain form, and the line of the sender's text it came from.
struct PlainLine {
  std::string text;  // without its newline
  int source = 0;
};

struct RecordedGame {
  std::uint64_t seed = 0;
  // `high`, `lastcell`, `roll`, `seed`, `open`, then `advance`, `key` and `click` lines, each
  // number as the runner reads it and each run of advances as one: the same game
  // always comes out as the same lines, whatever comments or spelling it was sent with.
  std::vector<PlainLine> inputs;
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

// The lines as one text, each with its newline.
std::string joined(const std::vector<PlainLine>& lines);

}  // namespace tilerush::proof
