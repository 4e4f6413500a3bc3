// Watching a replay in the window: its script carried out at the pace it was recorded.
#pragma once

#include <fstream>
#include <ostream>
#include <string>

#include "app/qt_game.h"
#include "sim/replay.h"

namespace tilerush {

// Reads a replay and checks, by running it through to its end on a headless game
// first, that it is a whole valid replay; then plays it in a window at its pace.
class ReplayPlayer {
 public:
  // Empty when the file plays through; otherwise one line on what is wrong with it.
  static std::string check(const std::string& path);

  // `out` gets the script's dumps and, at the end, one line on its expectations.
  ReplayPlayer(QtGame& game, const std::string& path, std::ostream& out);

  void start();
  // 0 once every expectation held, 1 when one did not, 2 for a broken script.
  int status() const { return pace_.status(); }

 private:
  void next();

  QtGame& game_;
  std::ifstream file_;
  std::ostream& out_;
  sim::ReplayPace pace_;
};

}  // namespace tilerush
