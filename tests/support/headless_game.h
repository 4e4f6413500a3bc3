// A game on the headless clock with a fixed seed, opened and ready to serve.
#pragma once

#include <cstdint>
#include <initializer_list>

#include "display/display.h"
#include "game/form1.h"
#include "game/form_probe.h"
#include "game/session.h"
#include "timing/random.h"

namespace tilerush::testing {

struct HeadlessGame {
  explicit HeadlessGame(std::uint64_t seed = 1) : session([seed] { return seed; }) {}

  // Queues exact draws ahead of the generator: they are used first, in order.
  void queueDraws(std::initializer_list<float> draws) {
    for (float r : draws) random.queue(r);
  }

  GameState& state() { return probe.state(); }
  Element& element(const char* name, int index = -1) { return *display.find(name, index); }

  Session session;
  Display& display = session.display();
  RandomSource& random = session.random();
  Form1& form = session.form();
  // Runs single routines and writes the state record, as a test of one routine must.
  FormProbe probe{form};
};

}  // namespace tilerush::testing
