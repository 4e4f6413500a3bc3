// tilerush-sim's script runner, usable in-process by tests and fuzzers.
#pragma once

#include <istream>
#include <ostream>

namespace tilerush::sim {

// Runs a script to its end, writing dumps to `out`. Returns 0, or 2 after writing
// "tilerush-sim: line N: what is wrong" to `err` for the first line that cannot be
// carried out; what was written before stays written.
int runScript(std::istream& script, std::ostream& out, std::ostream& err);

}  // namespace tilerush::sim
