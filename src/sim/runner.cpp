// The run loop: one line at a time, stopping at the first that cannot be carried out.
#include "sim/runner.h"

#include <algorithm>
#include <chrono>
#include <ios>
#include <new>

#include "sim/values.h"

namespace tilerush::sim {

ScriptRunner::ScriptRunner(Session& session, std::istream& script, std::ostream& dumps)
    : reader_(script), run_(session, dumps) {
  // A click held through the lost-ball pause finds its button gone: the script
  // asked for something that could not be done.
  session.onHiddenClick([](const Input& click) {
    throw ScriptError("cannot click " + std::string(nameOf(click.button)) + ": the button is hidden",
                      click.line);
  });
}

std::optional<std::int64_t> ScriptRunner::step() {
  Session& session = run_.session;
  if (run_.autoplayUntil && session.now() < *run_.autoplayUntil) {
    run_.player.look();
    return std::min(session.now() + Autoplayer::kLookEveryMs, *run_.autoplayUntil);
  }
  run_.autoplayUntil.reset();
  while (reader_.next(text_)) {
    if (std::optional<std::int64_t> until = runLine(run_, text_, reader_.number())) return until;
    if (run_.autoplayUntil) return step();
  }
  return std::nullopt;
}

std::uint64_t systemClockSeed() {
  return static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
}

namespace {

int fail(std::ostream& err, int line, const std::string& what, int status) {
  err << "tilerush-sim: line " << line << ": " << what << '\n';
  err.flush();
  return status;
}

}  // namespace

int runScript(std::istream& script, std::ostream& out, std::ostream& err) {
  Session session(systemClockSeed);
  ScriptRunner runner(session, script, out);
  try {
    while (std::optional<std::int64_t> until = runner.step()) session.advanceTo(*until);
  } catch (const ScriptError& e) {
    return fail(err, e.line() > 0 ? e.line() : runner.line(), e.what(), e.status());
  } catch (const std::bad_alloc&) {
    return fail(err, runner.line(), "out of memory", ScriptError::kBroken);
  } catch (const std::ios_base::failure&) {
    // A folder given as the script, say.
    return fail(err, runner.line(), "cannot read the script", ScriptError::kBroken);
  }
  out.flush();
  return 0;
}

}  // namespace tilerush::sim
