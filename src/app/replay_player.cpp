// A replay's stretches of game time, one after the other, on the window's clock.
#include "app/replay_player.h"

#include <ios>
#include <sstream>

#include "sim/values.h"

namespace tilerush {

std::string ReplayPlayer::check(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return "cannot read " + path;
  Session session(sim::systemClockSeed);
  std::ostringstream dumps;
  sim::ScriptRunner runner(session, file, dumps);
  try {
    while (std::optional<std::int64_t> until = runner.step()) session.advanceTo(*until);
  } catch (const sim::ScriptError& e) {
    // A replay whose expectations fail is still worth watching: the window says so.
    if (e.status() != sim::ScriptError::kUnmet) {
      return path + ": line " + std::to_string(e.line() > 0 ? e.line() : runner.line()) + ": " + e.what();
    }
  } catch (const std::ios_base::failure&) {
    return "cannot read " + path;
  }
  if (!session.isOpen()) return path + ": not a replay: it never opens the window";
  return {};
}

ReplayPlayer::ReplayPlayer(QtGame& game, const std::string& path, std::ostream& out)
    : game_(game), file_(path, std::ios::binary), out_(out), runner_(game.session(), file_, out) {}

void ReplayPlayer::start() {
  game_.takePlayerInput(false);
  next();
}

void ReplayPlayer::next() {
  try {
    std::optional<std::int64_t> until = runner_.step();
    if (game_.session().isOpen() && !game_.window().isVisible()) game_.show();
    if (until) return game_.runUntil(*until, [this] { next(); });
    out_ << "replay: all " << runner_.expectationsHeld() << " expectations held\n";
  } catch (const sim::ScriptError& e) {
    status_ = e.status();
    out_ << "replay: line " << (e.line() > 0 ? e.line() : runner_.line()) << ": " << e.what() << '\n';
  }
  out_.flush();
}

}  // namespace tilerush
