// An hour of play by tilerush-sim's automatic player, run in-process.
#include <sstream>

#include "bench.h"
#include "sim/runner.h"

namespace tilerush::bench {
namespace {

void HourOfAutoplay(benchmark::State& state) {
  const std::string script = "seed 1\nopen\nautoplay 3600000\ndump points levelno lives\n";
  std::string last;
  for (auto _ : state) {
    std::istringstream in(script);
    std::ostringstream out;
    std::ostringstream err;
    if (sim::runScript(in, out, err) != 0) {
      const std::string why = err.str();
      state.SkipWithError(why.substr(0, why.find('\n')).c_str());
      return;
    }
    last = out.str();
  }
  // What the hour came to, so that a player that idles is not mistaken for a fast one.
  state.SetLabel(last.substr(0, last.find('\n')));
}
BENCHMARK(HourOfAutoplay)->Apply(medians)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace tilerush::bench
