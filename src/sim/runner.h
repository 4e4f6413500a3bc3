// Running a script: step by step on any session, or whole on a headless one.
#pragma once

#include <cstdint>
#include <istream>
#include <optional>
#include <ostream>
#include <string>

#include "game/session.h"
#include "sim/commands.h"
#include "sim/script.h"

namespace tilerush::sim {

// Carries out a script on a session, a stretch at a time, and leaves moving game
// time on to whoever runs it: tilerush-sim at once, a window at the pace of real time.
class ScriptRunner {
 public:
  ScriptRunner(Session& session, std::istream& script, std::ostream& dumps);
  ScriptRunner(const ScriptRunner&) = delete;
  ScriptRunner& operator=(const ScriptRunner&) = delete;

  // Carries out lines until one lets game time pass, and returns the instant the
  // clock must reach before the next step; none once the script has ended. Throws
  // ScriptError, with the line it concerns.
  std::optional<std::int64_t> step();
  int expectationsHeld() const { return run_.expectationsHeld; }
  // The script line last read.
  int line() const { return reader_.number(); }

 private:
  LineReader reader_;
  ScriptRun run_;
  std::string text_;
};

// Runs a script to its end on a headless game, writing dumps to `out`. Returns 0;
// 1 after writing "tilerush-sim: line N: expected NAME VALUE, found X" to `err` for an
// expectation that does not hold; 2 after "tilerush-sim: line N: what is wrong" for a
// line that cannot be carried out. What was written before stays written.
int runScript(std::istream& script, std::ostream& out, std::ostream& err);

// The seed of a session that no script seeds: the system clock.
std::uint64_t systemClockSeed();

}  // namespace tilerush::sim
