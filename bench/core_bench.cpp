// The core's hot paths: one ball tick, laying out a level, and start-up.
#include "bench.h"

namespace tilerush::bench {
namespace {

// Timer2_Timer with whereball: four cell tests, the paddle test and the floor test.
void BallTickInFlight(benchmark::State& state) {
  HeadlessGame game;
  GameState& s = game.state();
  launchBelowTheBricks(game.session);
  for (auto _ : state) {
    s.yspeed = static_cast<std::int16_t>(-s.yspeed);
    game.form.Timer2_Timer();
  }
  if (s.points != 0 || game.session.holding()) state.SkipWithError("the ball struck something");
}
BENCHMARK(BallTickInFlight)->Apply(medians);

// The paddle moving on Timer1, and the three title balls on Timer3.
void PaddleTick(benchmark::State& state) {
  HeadlessGame game;
  GameState& s = game.state();
  for (auto _ : state) {
    // Back and forth, never stopping at a wall.
    s.paddledir = s.paddledir == 1 ? 2 : 1;
    game.form.Timer1_Timer();
  }
}
BENCHMARK(PaddleTick)->Apply(medians);

void LogoTick(benchmark::State& state) {
  HeadlessGame game;
  for (auto _ : state) game.form.Timer3_Timer();
}
BENCHMARK(LogoTick)->Apply(medians);

// Map 1 laid into the 500 cells, each cell repainted, the bricks counted.
void Grid(benchmark::State& state) {
  HeadlessGame game;
  for (auto _ : state) game.probe.grid();
}
BENCHMARK(Grid)->Apply(medians)->Unit(benchmark::kMicrosecond);

// The whole start-up, from the layout's elements to the 500 cells and the title balls.
// Building the layout's 29 elements first is included: start-up needs fresh ones.
void OpenWithFormLoad(benchmark::State& state) {
  HeadlessGame game;
  for (auto _ : state) game.form.open();
}
BENCHMARK(OpenWithFormLoad)->Apply(medians)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tilerush::bench
