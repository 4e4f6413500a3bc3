// Plays a replay headlessly and prints what the page should have heard of it: for each
// happening that asks for a cue, the game instant and the cue's number, a line each,
// marked "lost" for a lost ball.
//   tilerush-cues-of-replay FILE
#include <fstream>
#include <iostream>
#include <sstream>

#include "game/hook.h"
#include "game/listener.h"
#include "game/session.h"
#include "hearing/cue_for.h"
#include "sim/runner.h"
#include "sim/values.h"
#include "sound/cues.h"

namespace {

using namespace tilerush;

struct Ear : GameListener {
  explicit Ear(const Session& session) : session(session) {}
  void happened(Happening what, double before, double after) override {
    const std::optional<sound::Cue> cue = sound::cueFor(what, before, after);
    if (!cue) return;
    std::cout << session.now() << ' ' << sound::cueNumber(*cue);
    std::cout << (cue->kind == sound::CueKind::BallLost ? " lost\n" : "\n");
  }
  const Session& session;
};

}  // namespace

int main(int argc, char** argv) {
  std::ifstream replay(argc == 2 ? argv[1] : "");
  if (!replay) {
    std::cerr << "usage: tilerush-cues-of-replay FILE\n";
    return 2;
  }
  Session session{sim::systemClockSeed};
  Ear ear(session);
  const Hook hearing = session.form().addListener(ear);
  std::ostringstream dumps;
  sim::ScriptRunner runner(session, replay, dumps);
  try {
    while (std::optional<std::int64_t> until = runner.step()) session.advanceTo(*until);
  } catch (const sim::ScriptError& e) {
    std::cerr << "tilerush-cues-of-replay: line " << runner.line() << ": " << e.what() << '\n';
    return 2;
  }
  return 0;
}
