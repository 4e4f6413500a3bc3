// A whole game in a Qt window: the element model, the game and its Qt back end.
#pragma once

#include <memory>

#include "display/display.h"
#include "display/qt/game_window.h"
#include "display/qt/qt_backend.h"
#include "display/random.h"
#include "game/form1.h"

namespace tilerush {

class QtGame {
 public:
  // Needs a QApplication. `seeds` gives the random seed of each start-up.
  explicit QtGame(QtBackend::SeedSource seeds = systemClockSeed);

  // Builds the window's elements, runs start-up and shows the window.
  void open();

  Form1& form() { return form_; }
  Display& display() { return display_; }
  QtBackend& backend() { return backend_; }
  GameWindow& window() { return *window_; }
  RandomSource& random() { return random_; }

 private:
  void connectInput();

  Display display_;
  RandomSource random_;
  std::unique_ptr<GameWindow> window_;
  QtBackend backend_;
  Form1 form_;
};

}  // namespace tilerush
