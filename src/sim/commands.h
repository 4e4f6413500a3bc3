// Carrying out one line of a script.
#pragma once

#include <ostream>
#include <string_view>

#include "sim/autoplay.h"
#include "sim/session.h"

namespace tilerush::sim {

// What the lines of one script act on: the game, and the automatic player, whose
// memory of the game lasts from one `autoplay` to the next.
struct ScriptRun {
  Session session;
  Autoplayer player{session};
};

// Runs the command on `line` (script line `number`); a dump goes to `out`.
// Anything that cannot be carried out throws ScriptError.
void runLine(ScriptRun& run, std::string_view line, int number, std::ostream& out);

}  // namespace tilerush::sim
