// The real window steered by real X pointer motion, at scale 1 and twice as large,
// and paused the moment another window takes the keyboard; each game recorded and
// checked by tilerush-sim.
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>

#include "game_on_xvfb.h"
#include "other_window.h"

namespace tilerush::e2e {
namespace {

constexpr int kBoard = 0x80FF80;
constexpr int kPointerRow = 400;  // over the board, above the paddle
// The paddle stops once its middle is within half a step (7 pixels) of the pointer;
// the picture finds its middle to a pixel.
constexpr int kSettled = 8;

int countLines(const std::string& text, const std::string& line) {
  std::istringstream lines(text);
  int count = 0;
  for (std::string each; std::getline(lines, each);) count += each == line;
  return count;
}

class Controls : public GameOnXvfb {
 protected:
  void SetUp() override { useWindowManager(1280, 1024); }

  void startRecording() {
    replay_ = scratch() + "/game.tilerush";
    start({}, {"--record", replay_});
  }
  void closeAndCheck() {
    x_->requestClose(window_);
    ASSERT_EQ(game_->waitExit(std::chrono::seconds(10)), 0);
    recorded_ = readFile(replay_);
    EXPECT_EQ(run({TILERUSH_SIM, replay_}), 0) << recorded_;
  }
  void pointTo(const Placement& at, int layoutX, int layoutY = kPointerRow) {
    xdotool(
        {"mousemove", "--window", windowId(), std::to_string(at.x(layoutX)), std::to_string(at.y(layoutY))});
  }
  Sight lookAt(const Placement& at) { return look(grab(), at); }
  // Waits for the paddle's middle to be found within `near` of `x`, in layout pixels.
  bool paddleReaches(const Placement& at, int x, int near = kSettled) {
    for (int i = 0; i < 750; ++i) {
      const Sight sight = lookAt(at);
      if (sight.paddleCentre && std::abs(*sight.paddleCentre - x) <= near) return true;
      pause(20);
    }
    return false;
  }
  // The paddle's middle once two pictures 300 ms apart agree on it.
  std::optional<int> stillPaddle(const Placement& at) {
    std::optional<int> last = lookAt(at).paddleCentre;
    for (int i = 0; i < 30; ++i) {
      pause(300);
      const std::optional<int> now = lookAt(at).paddleCentre;
      if (now == last) return now;
      last = now;
    }
    return std::nullopt;
  }
  void resizeTo(int width, int height) {
    xdotool({"windowsize", windowId(), std::to_string(width), std::to_string(height)});
    const Placement at = Placement::fitted(width, height);
    for (int i = 0; i < 500; ++i) {
      const Frame frame = grab();
      if (frame.width == width && frame.height == height && frame.at(at.x(11), at.y(107)) == kBoard &&
          frame.at(at.x(558), at.y(478)) == kBoard)
        return;
      pause(20);
    }
    FAIL() << "the window did not show the layout at " << width << " x " << height;
  }
  bool pauseShown() { return buttonFaceAt(grab(), 228, 196); }

  std::string replay_;
  std::string recorded_;
};

TEST_F(Controls, ThePaddleGoesUnderThePointerAtAnyScaleAndAStillPointerUnderAResizeMovesNothing) {
  startRecording();
  const Placement one;
  // No click: moving the pointer launches the resting ball and the paddle follows.
  pointTo(one, 450);
  EXPECT_TRUE(paddleReaches(one, 450)) << "at scale 1";
  pointTo(one, 120);
  EXPECT_TRUE(paddleReaches(one, 120)) << "at scale 1, back left";
  pointTo(one, 450);
  EXPECT_TRUE(paddleReaches(one, 450)) << "at scale 1, right again";
  ASSERT_TRUE(stillPaddle(one));

  // The window grows under a pointer that stays where it is on the screen: it is now
  // over another point of the game area, but it did not move, so the paddle does not
  // go there.
  resizeTo(1136, 978);
  const Placement two = Placement::fitted(1136, 978);
  pause(500);
  // The pointer is now over 225 of the layout, not 450; a ball lost meanwhile is
  // served at the middle, 284.
  const std::optional<int> after = stillPaddle(two);
  ASSERT_TRUE(after);
  EXPECT_GT(std::abs(*after - 225), 3 * kSettled) << "a resize under a still pointer moved the paddle";
  pointTo(two, 400);
  EXPECT_TRUE(paddleReaches(two, 400)) << "twice as large";
  // Off the board, the pointer lets go: the paddle stops short of where it was going.
  pointTo(two, 80);
  pause(120);
  pointTo(two, 80, 40);
  const std::optional<int> stopped = stillPaddle(two);
  ASSERT_TRUE(stopped);
  EXPECT_GT(*stopped, 80 + 3 * kSettled) << "the pointer over the score still steered";
  closeAndCheck();
  EXPECT_EQ(recorded_.find("key down 80"), std::string::npos);
}

TEST_F(Controls, AnotherWindowTakingTheKeyboardPausesAtOnceAndLetsGoOfTheHeldKey) {
  startRecording();
  // The window manager gives a new window the keyboard: the game pauses as it opens.
  OtherWindow other(xvfb_->name());
  lookUntil([&](const Sight&) { return pauseShown(); });
  ASSERT_TRUE(pauseShown()) << "a window opened over the game did not pause it";
  xdotool({"windowactivate", "--sync", windowId()});
  clickAt(300, 240);
  lookUntil([&](const Sight&) { return !pauseShown(); });
  // A grab of the keyboard (a window being dragged) takes the focus for a moment and
  // gives it back: the player did not leave.
  ASSERT_TRUE(other.grabAndUngrabKeyboard());
  pause(300);
  EXPECT_FALSE(pauseShown()) << "a keyboard grab paused the game";
  keyDown("Right");
  ASSERT_TRUE(paddleReaches({}, 330, 30)) << "the held arrow did not move the paddle";
  xdotool({"windowactivate", "--sync", other.id()});
  Sight paused = lookUntil([&](const Sight&) { return pauseShown(); });
  ASSERT_TRUE(pauseShown()) << "the game did not pause when the keyboard went elsewhere";
  EXPECT_LT(*paused.paddleCentre, 500) << "the paddle ran on to the wall before the pause";
  pause(300);
  const Sight later = lookNow();
  EXPECT_EQ(later.paddleCentre, paused.paddleCentre) << "the paddle moved in the pause";
  EXPECT_EQ(later.ballCentre, paused.ballCentre) << "the ball moved in the pause";
  keyUp("Right");  // reaches the other window, not the game

  // Back in the game, the Pause button goes on (the pointer, off the board at once,
  // steers nothing). Had the arrow not been let go when the keyboard left, the
  // paddle would run on to the wall.
  xdotool({"windowactivate", "--sync", windowId()});
  clickAt(300, 240);
  pointTo({}, 300, 30);
  const Sight resumed = lookUntil([&](const Sight& s) { return s.ballCentre != paused.ballCentre; });
  ASSERT_NE(resumed.ballCentre, paused.ballCentre) << "play did not go on";
  const std::optional<int> stopped = stillPaddle({});
  ASSERT_TRUE(stopped);
  EXPECT_LT(*stopped, 500) << "the arrow was still held";
  closeAndCheck();
  // The release, then the P (at once, or at the end of a lost ball's pause, which a busy
  // machine makes likelier), and one P each time the keyboard left, though Qt's own
  // deactivation follows the X server's word.
  EXPECT_TRUE(std::regex_search(recorded_, std::regex("key up 39\n(advance \\d+\n)*key down 80\n")))
      << recorded_;
  EXPECT_EQ(countLines(recorded_, "key down 80"), 2) << recorded_;
}

}  // namespace
}  // namespace tilerush::e2e
