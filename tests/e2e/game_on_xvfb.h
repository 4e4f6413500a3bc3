// The real tilerush binary on its own Xvfb server, driven by xdotool, seen in screenshots.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "x_harness.h"

namespace tilerush::e2e {

// Where the layout lies in a picture of the window: the largest scale at which the
// 568 x 489 layout fits, and its corner, as the window places it.
struct Placement {
  double scale = 1;
  int left = 0;
  int top = 0;
  static Placement fitted(int width, int height);
  // A point of the layout, in pixels at scale 1, as a pixel of the picture.
  int x(double layoutX) const { return left + static_cast<int>(layoutX * scale); }
  int y(double layoutY) const { return top + static_cast<int>(layoutY * scale); }
  double layoutX(int pictureX) const { return (pictureX - left) / scale; }
  double layoutY(int pictureY) const { return (pictureY - top) / scale; }
};

// Where things are, in pixels of the layout at scale 1 (twips / 15), whatever the
// scale of the picture.
struct Sight {
  std::optional<int> paddleCentre;  // across, on the paddle's row
  std::optional<std::pair<int, int>> ballCentre;
  int livesShown = 0;
};
Sight look(const Frame& frame, const Placement& at = {});

// The row of the ball's centre while it rests on the paddle, waiting to be launched.
constexpr int kBallRestRow = 447;

// Whether a push button covers this pixel: its face is a neutral grey, which nothing
// on the playfield is.
bool buttonFaceAt(const Frame& frame, int x, int y);

class GameOnXvfb : public ::testing::Test {
 protected:
  void SetUp() override { start({}); }
  void TearDown() override;
  // Starts from now on run beside a window manager (openbox), on a screen of this
  // size, as a desktop would have them; full screen needs one.
  void useWindowManager(int screenWidth, int screenHeight);
  // Starts the game with `args`, its environment changed by `extraEnv`, its standard
  // error and output into files when named. Unless told otherwise, it keeps its
  // settings in a scratch folder of its own and finds no sound server, so that no
  // test writes the player's settings or makes a noise.
  void start(const std::vector<std::string>& extraEnv, const std::vector<std::string>& args = {},
             const std::string& errorFile = {}, const std::string& outputFile = {});
  // A folder of the test's own, removed at its end.
  const std::string& scratch();

  void startWindowManager();
  void xdotool(std::vector<std::string> args);
  // Real input through the XTEST extension, to whichever window has the keyboard
  // (xdotool's --window would send synthetic events instead).
  void keyDown(const std::string& key) { xdotool({"keydown", key}); }
  void keyUp(const std::string& key) { xdotool({"keyup", key}); }
  void tap(const std::string& key) { xdotool({"key", key}); }
  void clickAt(int x, int y);
  // A picture of the window; where there is none to take, the failure says whether the
  // game is still running.
  Frame grab();
  Sight lookNow() { return look(grab()); }
  // Pictures until `done` holds for one, or about `seconds` pass; returns the last.
  template <typename Done>
  Sight lookUntil(Done done, double seconds = 10);
  std::string windowId() const { return std::to_string(window_); }

  // Where on the screen the pointer is put before the game starts, if anywhere.
  std::optional<std::pair<int, int>> pointerAtStart_;
  std::unique_ptr<XvfbServer> xvfb_;
  std::unique_ptr<Process> windowManager_;
  std::unique_ptr<Process> game_;
  std::unique_ptr<XConnection> x_;
  unsigned long window_ = 0;
  std::string scratch_;
  bool managed_ = false;
  int screenWidth_ = 1280;
  int screenHeight_ = 1024;
};

void pause(int ms);
// The whole of a file the game wrote, or nothing if there is none.
std::string readFile(const std::string& path);

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
