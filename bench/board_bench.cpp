// The board's check of a game sent to it, as the server runs it: read in its plain form,
// played through on the core, expectations and all.
#include <string>

#include "bench.h"
#include "proof/check.h"
#include "sim/autoplay.h"
#include "sim/recorder.h"

namespace tilerush::bench {
namespace {

// The automatic player for `ms`, recorded as a front end records a game.
std::string autoplayed(std::int64_t ms) {
  Session session([] { return 1; });
  std::string lines;
  const auto collect = [&](std::string_view line) { lines += line; };
  sim::Recorder recorder(session, collect, "bench", "today");
  session.setInputLog(&recorder);
  session.open();
  sim::Autoplayer(session).play(ms);
  return lines + recorder.closing();
}

void check(benchmark::State& state, const std::string& replay) {
  std::int64_t score = 0;
  for (auto _ : state) score = proof::proveGame(replay).value().score;
  state.SetLabel(std::to_string(replay.size() / 1024) + " kB, score " + std::to_string(score));
}

void CheckAFiveMinuteGame(benchmark::State& state) { check(state, autoplayed(300'000)); }
BENCHMARK(CheckAFiveMinuteGame)->Apply(medians)->Unit(benchmark::kMillisecond);

void CheckAnHourGame(benchmark::State& state) { check(state, autoplayed(3'600'000)); }
BENCHMARK(CheckAnHourGame)->Apply(medians)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tilerush::bench
