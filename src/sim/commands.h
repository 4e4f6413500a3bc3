// Carrying out one line of a script.
#pragma once

#include <ostream>
#include <string_view>

#include "sim/session.h"

namespace tilerush::sim {

// Runs the command on `line` (script line `number`); a dump goes to `out`.
// Anything that cannot be carried out throws ScriptError.
void runLine(Session& session, std::string_view line, int number, std::ostream& out);

}  // namespace tilerush::sim
