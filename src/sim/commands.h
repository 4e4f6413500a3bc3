// Carrying out one line of a script.
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string_view>

#include "game/session.h"
#include "sim/autoplay.h"

namespace tilerush::sim {

// What the lines of one script act on: the game, the automatic player (whose
// memory of the game lasts from one `autoplay` to the next), where dumps go, and how
// the script stands.
struct ScriptRun {
  ScriptRun(Session& game, std::ostream& dumps) : session(game), out(dumps) {}

  Session& session;
  std::ostream& out;
  Autoplayer player{session};
  // Until when the automatic player plays, while an `autoplay` lasts.
  std::optional<std::int64_t> autoplayUntil;
  int expectationsHeld = 0;
};

// Runs the command on `line` (script line `number`). A command that lets game time
// pass (`advance`) returns the instant the clock must reach before the next line;
// `autoplay` sets run.autoplayUntil instead. Anything that cannot be carried out,
// and an expectation that does not hold, throws ScriptError.
std::optional<std::int64_t> runLine(ScriptRun& run, std::string_view line, int number);

}  // namespace tilerush::sim
