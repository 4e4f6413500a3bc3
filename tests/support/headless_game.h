// A game on the headless back end with a fixed seed, opened and ready to serve.
#pragma once

#include <cstdint>
#include <initializer_list>

#include "display/display.h"
#include "display/headless.h"
#include "display/random.h"
#include "game/events.h"
#include "game/form1.h"

namespace tilerush::testing {

struct HeadlessGame {
  explicit HeadlessGame(std::uint64_t seed = 1) : backend([seed] { return seed; }) {
    display.setObserver(&backend);
    backend.setTimerHandler([this](const std::string& timer) { fireTimer(form, timer); });
  }

  // Queues exact draws ahead of the generator: they are used first, in order.
  void queueDraws(std::initializer_list<float> draws) {
    for (float r : draws) random.queue(r);
  }

  GameState& state() { return form.state(); }
  Element& element(const char* name, int index = -1) { return *display.find(name, index); }

  Display display;
  HeadlessBackend backend;
  RandomSource random;
  Form1 form{display, backend, random};
};

}  // namespace tilerush::testing
