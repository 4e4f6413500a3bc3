// Taking a watched replay of an hour to any instant of it: from its start to its end
// (the longest seek there is, the whole hour run again), and back to its middle.
#include <memory>
#include <sstream>

#include "bench.h"
#include "game/paced_game.h"
#include "sim/autoplay.h"
#include "sim/recorder.h"
#include "sim/replay_show.h"

namespace tilerush::bench {
namespace {

// An hour of the automatic player's game, recorded as the window records one.
const std::string& hourReplay() {
  static const std::string replay = [] {
    Session session([] { return 1; });
    std::string lines;
    const auto keep = [&](std::string_view line) { lines += line; };
    sim::Recorder recorder(session, keep, "bench", "today");
    session.setInputLog(&recorder);
    session.open();
    sim::Autoplayer(session).play(3'600'000);
    return lines + recorder.closing();
  }();
  return replay;
}

sim::ReplayFacts factsOf(const std::string& replay) {
  return sim::ReplayCheck::run(std::make_unique<std::istringstream>(replay)).value();
}

struct Watched {
  Watched() : show(paced, hourReplay(), factsOf(hourReplay()), nullptr) {}
  Session session{[] { return 2; }};
  PacedGame paced{session};
  sim::ReplayShow show;
};

void SeekAnHourReplayFromItsStartToItsEnd(benchmark::State& state) {
  Watched watched;
  for (auto _ : state) {
    watched.show.seek(0, 0);
    watched.show.seek(watched.show.length(), 0);
  }
  state.SetLabel(std::to_string(hourReplay().size() / 1024) + " kB, " + watched.show.verdict());
}
BENCHMARK(SeekAnHourReplayFromItsStartToItsEnd)->Apply(medians)->Unit(benchmark::kMillisecond);

void SeekAnHourReplayBackFromItsEndToItsMiddle(benchmark::State& state) {
  Watched watched;
  for (auto _ : state) {
    state.PauseTiming();
    watched.show.seek(watched.show.length(), 0);
    state.ResumeTiming();
    watched.show.seek(watched.show.length() / 2, 0);
  }
}
BENCHMARK(SeekAnHourReplayBackFromItsEndToItsMiddle)->Apply(medians)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tilerush::bench
