// The real tilerush binary on its own Xvfb server, driven by xdotool, seen in screenshots.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "x_harness.h"

namespace tilerush::e2e {

// Where things are in a 1:1 picture of the window, in pixels (layout twips / 15).
struct Sight {
  std::optional<int> paddleCentre;  // across, on the paddle's row
  std::optional<std::pair<int, int>> ballCentre;
  int livesShown = 0;
};
Sight look(const Frame& frame);

// The row of the ball's centre while it rests on the paddle, waiting to be launched.
constexpr int kBallRestRow = 447;

// Whether a push button covers this pixel: its face is a neutral grey, which nothing
// on the playfield is.
bool buttonFaceAt(const Frame& frame, int x, int y);

class GameOnXvfb : public ::testing::Test {
 protected:
  void SetUp() override { start({}); }
  void TearDown() override;
  // Starts the game with `args`, its environment changed by `extraEnv`, its standard
  // error and output into files when named. Unless told otherwise, it keeps its
  // settings in a scratch folder of its own and finds no sound server, so that no
  // test writes the player's settings or makes a noise.
  void start(const std::vector<std::string>& extraEnv, const std::vector<std::string>& args = {},
             const std::string& errorFile = {}, const std::string& outputFile = {});
  // A folder of the test's own, removed at its end.
  const std::string& scratch();

  void xdotool(std::vector<std::string> args);
  // Real input through the XTEST extension, to whichever window has the keyboard
  // (xdotool's --window would send synthetic events instead).
  void keyDown(const std::string& key) { xdotool({"keydown", key}); }
  void keyUp(const std::string& key) { xdotool({"keyup", key}); }
  void tap(const std::string& key) { xdotool({"key", key}); }
  void clickAt(int x, int y);
  Frame grab() { return x_->grab(window_); }
  Sight lookNow() { return look(grab()); }
  // Pictures until `done` holds for one, or about `seconds` pass; returns the last.
  template <typename Done>
  Sight lookUntil(Done done, double seconds = 10);
  std::string windowId() const { return std::to_string(window_); }

  std::unique_ptr<XvfbServer> xvfb_;
  std::unique_ptr<Process> game_;
  std::unique_ptr<XConnection> x_;
  unsigned long window_ = 0;
  std::string scratch_;
};

void pause(int ms);

template <typename Done>
Sight GameOnXvfb::lookUntil(Done done, double seconds) {
  Sight sight = lookNow();
  for (int i = 0; i < seconds * 50 && !done(sight); ++i) {
    pause(20);
    sight = lookNow();
  }
  return sight;
}

}  // namespace tilerush::e2e
