// What every Tilerush benchmark shares: how often it is repeated, and a headless game.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "game/form1.h"
#include "game/form_probe.h"
#include "game/session.h"

namespace tilerush::bench {

// A shared two-core machine is noisy: every figure is the median of several runs.
inline void medians(benchmark::internal::Benchmark* b) { b->Repetitions(9)->ReportAggregatesOnly(true); }

// A game on the headless clock with a fixed seed, opened and ready to serve.
struct HeadlessGame {
  explicit HeadlessGame(std::uint64_t seed = 1) : session([seed] { return seed; }) { session.open(); }

  GameState& state() { return probe.state(); }

  Session session;
  Display& display = session.display();
  Form1& form = session.form();
  FormProbe probe{form};
};

// Puts the ball in flight in the empty band between map 1's bricks and the paddle,
// moving right and up. Turning its vertical step round before every tick keeps it in
// that band for good, so that no tick strikes anything but a side wall.
inline void launchBelowTheBricks(Session& session) {
  GameState& s = FormProbe(session.form()).state();
  s.xspeed = s.speed;
  s.yspeed = static_cast<std::int16_t>(s.speed);
  Element& ball = *session.display().find("ball");
  ball.move(ball.left(), static_cast<float>(s.topedge + 17 * s.cellh));
}

}  // namespace tilerush::bench
