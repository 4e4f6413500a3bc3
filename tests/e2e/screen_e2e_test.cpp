// The window made larger, taken to full screen and back beside a window manager:
// laid out by pixels at its scale, the screen keys, what is kept from one run to the
// next, and a game recorded across all of it, checked by tilerush-sim.
#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>

#include "game_on_xvfb.h"

namespace tilerush::e2e {
namespace {

constexpr std::uint32_t kFace = 0xF0F0F0;
constexpr std::uint32_t kBoard = 0x80FF80;
constexpr int kScreenWidth = 1280;
constexpr int kScreenHeight = 1024;

// A brick's colour at scale 1 pixels, to the left of the digit written at the middle
// of its top.
std::uint32_t brickColour(const Frame& frame, const Placement& at, int column, int row) {
  return frame.at(at.x((120 + (column - 0.8) * 414.75) / 15), at.y((1560 + (row - 0.5) * 226.2) / 15));
}

// The layout as the game opens, at the scale and place it should have in the
// picture: map 1's bricks, the board, the served paddle and ball, three lives, and
// the face colour wherever the layout leaves the window uncovered.
void expectOpeningLayout(const Frame& frame, const Placement& at) {
  const char* const map1[] = {"11111111111111111111", "10000000000000000001", "10222222222222222201",
                              "10200000000000000201", "10203333333333330201", "10203333333333330201",
                              "10200000000000000201", "10222222222222222201", "10000000000000000001",
                              "11111111111111111111"};
  const std::uint32_t colours[] = {kBoard, 0xFF0000, 0xC04000, 0x808000};
  int wrong = 0;
  for (int row = 0; row < 10; ++row) {
    for (int column = 0; column < 20; ++column) {
      wrong += brickColour(frame, at, column + 1, row + 3) != colours[map1[row][column] - '0'];
    }
  }
  EXPECT_EQ(wrong, 0) << "bricks out of place at scale " << at.scale;
  EXPECT_EQ(frame.at(at.x(284), at.y(333)), kBoard) << "board";
  const Sight sight = look(frame, at);
  ASSERT_TRUE(sight.paddleCentre && sight.ballCentre) << "at scale " << at.scale;
  EXPECT_NEAR(*sight.paddleCentre, 284, 1);
  EXPECT_NEAR(sight.ballCentre->first, 284, 1);
  EXPECT_NEAR(sight.ballCentre->second, kBallRestRow, 1);
  EXPECT_EQ(sight.livesShown, 3);
  if (at.left > 1) {
    EXPECT_EQ(frame.at(at.left / 2, frame.height / 2), kFace) << "left of the layout";
    EXPECT_EQ(frame.at(frame.width - at.left / 2, frame.height / 2), kFace) << "right of the layout";
  }
}

// Looks every 20 ms until `done` holds, for ten seconds at most.
template <typename Done>
bool waitUntil(Done done) {
  for (int i = 0; i < 500; ++i) {
    if (done()) return true;
    pause(20);
  }
  return done();
}

class ScreenWindow : public GameOnXvfb {
 protected:
  void SetUp() override { useWindowManager(kScreenWidth, kScreenHeight); }

  std::pair<int, int> windowSize() { return x_->size(window_); }
  // Waits for the window to take a size and to be painted at that size's scale:
  // the board's corners where they fall at that scale.
  Frame waitForSize(int width, int height) {
    const Placement at = Placement::fitted(width, height);
    auto painted = [&](const Frame& frame) {
      return frame.width == width && frame.height == height && frame.at(at.x(11), at.y(107)) == kBoard &&
             frame.at(at.x(558), at.y(478)) == kBoard && frame.at(at.x(5), at.y(107)) != kBoard;
    };
    Frame frame = grab();
    for (int i = 0; i < 500 && !painted(frame); ++i) {
      pause(20);
      frame = grab();
    }
    EXPECT_TRUE(painted(frame)) << "the window did not show the layout at " << width << " x " << height;
    return frame;
  }
  Frame resizeTo(int width, int height) {
    xdotool({"windowmove", windowId(), "0", "0"});
    xdotool({"windowsize", windowId(), std::to_string(width), std::to_string(height)});
    return waitForSize(width, height);
  }
  Frame waitForFullScreen(bool full) {
    for (int i = 0; i < 500 && x_->fullScreen(window_) != full; ++i) pause(20);
    EXPECT_EQ(x_->fullScreen(window_), full);
    return full ? waitForSize(kScreenWidth, kScreenHeight) : grab();
  }
  std::string settingsFile() { return scratch() + "/config/tilerush/tilerush.conf"; }
  void closeWindow() {
    x_->requestClose(window_);
    EXPECT_EQ(game_->waitExit(std::chrono::seconds(10)), 0);
  }
};

// The Pause button's blank face, and just beside it, at the picture's scale.
void expectPauseButton(const Frame& frame, const Placement& at, bool shown) {
  // The layout puts it at 224, 192, 161 x 97 pixels.
  EXPECT_EQ(buttonFaceAt(frame, at.x(228), at.y(196)), shown);
  EXPECT_EQ(buttonFaceAt(frame, at.x(380), at.y(284)), shown);
  EXPECT_FALSE(buttonFaceAt(frame, at.x(220), at.y(240)));
  EXPECT_FALSE(buttonFaceAt(frame, at.x(389), at.y(240)));
}

TEST_F(ScreenWindow, TwiceAsLargeThenFullScreenAndBackTheLayoutFollowsAndTheGameStaysAsItWas) {
  start({});
  expectOpeningLayout(resizeTo(1136, 978), Placement::fitted(1136, 978));

  tap("F11");
  Frame full = waitForFullScreen(true);
  const Placement fitted = Placement::fitted(kScreenWidth, kScreenHeight);
  expectOpeningLayout(full, fitted);
  // The push buttons are placed at the same scale, and a click finds them there.
  tap("p");
  waitUntil([&] { return buttonFaceAt(grab(), fitted.x(300), fitted.y(240)); });
  expectPauseButton(grab(), fitted, true);
  // Clicked above the paddle's middle: the pointer over the board steers the paddle,
  // and there it steers nothing.
  clickAt(fitted.x(284), fitted.y(240));
  waitUntil([&] { return !buttonFaceAt(grab(), fitted.x(300), fitted.y(240)); });
  expectPauseButton(grab(), fitted, false);

  tap("Escape");
  waitForFullScreen(false);
  expectOpeningLayout(waitForSize(1136, 978), Placement::fitted(1136, 978));
  tap("alt+Return");
  waitForFullScreen(true);
  tap("alt+Return");
  waitForFullScreen(false);
  // Escape in a window leaves it as it is; the game itself did nothing with any of
  // these keys: the ball still waits on the paddle.
  tap("Escape");
  pause(300);
  EXPECT_FALSE(x_->fullScreen(window_));
  expectOpeningLayout(waitForSize(1136, 978), Placement::fitted(1136, 978));
}

TEST_F(ScreenWindow, TheSizeAndFullScreenAreKeptForTheNextRunAndAKeptSizeFitsTheScreen) {
  start({});
  resizeTo(800, 600);
  waitUntil([&] { return readFile(settingsFile()).find("width=800") != std::string::npos; });
  closeWindow();
  EXPECT_EQ(readFile(settingsFile()), "[window]\nheight=600\nwidth=800\n");

  start({});
  expectOpeningLayout(waitForSize(800, 600), Placement::fitted(800, 600));
  tap("F11");
  waitForFullScreen(true);
  closeWindow();
  EXPECT_EQ(readFile(settingsFile()), "[window]\nfullscreen=true\nheight=600\nwidth=800\n");

  // It opens in full screen, and leaving gives back the size it was given, run after
  // run: the size kept is the window's own, whatever frame it is given back with.
  for (int run = 0; run < 2; ++run) {
    start({});
    expectOpeningLayout(waitForFullScreen(true), Placement::fitted(kScreenWidth, kScreenHeight));
    tap("Escape");
    waitForFullScreen(false);
    expectOpeningLayout(waitForSize(800, 600), Placement::fitted(800, 600));
    tap("F11");
    waitForFullScreen(true);
    closeWindow();
    EXPECT_EQ(readFile(settingsFile()), "[window]\nfullscreen=true\nheight=600\nwidth=800\n")
        << "run " << run;
  }

  // A size kept on a larger screen than this one: the window and its frame are
  // brought within this one.
  std::ofstream(settingsFile()) << "[window]\nheight=2000\nwidth=3000\n";
  start({});
  std::pair<int, int> size;
  waitUntil([&] {
    size = windowSize();
    pause(300);
    return size == windowSize() && size.second < kScreenHeight;
  });
  EXPECT_LE(size.first, kScreenWidth);
  EXPECT_LT(size.second, kScreenHeight) << "room for the window's title bar";
  expectOpeningLayout(waitForSize(size.first, size.second), Placement::fitted(size.first, size.second));
}

// Counts the lines of a replay that start with `start`.
int countLines(const std::string& text, const std::string& start) {
  std::istringstream lines(text);
  int count = 0;
  for (std::string line; std::getline(lines, line);) count += line.rfind(start, 0) == 0;
  return count;
}

long long recordedMs(const std::string& replay) {
  std::istringstream lines(replay);
  long long total = 0;
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("advance ", 0) == 0) total += std::stoll(line.substr(8));
  }
  return total;
}

TEST_F(ScreenWindow, AGameRecordedWhileResizedAndInAndOutOfFullScreenReplaysExactly) {
  const std::string replay = scratch() + "/screens.tilerush";
  const auto began = std::chrono::steady_clock::now();
  start({}, {"--record", replay});
  keyDown("Right");
  pause(300);
  // Held meanwhile, the arrow keeps the paddle going; F11's release stops it, as any
  // key's release does.
  tap("F11");
  keyUp("Right");
  waitForFullScreen(true);
  keyDown("Left");
  pause(400);
  tap("Escape");
  keyUp("Left");
  waitForFullScreen(false);
  for (auto [width, height] :
       {std::make_pair(900, 700), std::make_pair(400, 700), std::make_pair(1100, 400)}) {
    keyDown("Right");
    xdotool({"windowsize", windowId(), std::to_string(width), std::to_string(height)});
    pause(300);
    keyUp("Right");
    pause(200);
  }
  tap("alt+Return");
  waitForFullScreen(true);
  tap("p");
  const Placement fitted = Placement::fitted(kScreenWidth, kScreenHeight);
  waitUntil([&] { return buttonFaceAt(grab(), fitted.x(300), fitted.y(240)); });
  clickAt(fitted.x(300), fitted.y(240));
  keyDown("Left");
  pause(500);
  keyUp("Left");
  tap("alt+Return");
  waitForFullScreen(false);
  pause(500);
  closeWindow();
  const auto played = std::chrono::steady_clock::now() - began;

  const std::string text = readFile(replay);
  EXPECT_EQ(countLines(text, "key up 122"), 1) << "F11's release reached the game\n" << text;
  EXPECT_EQ(countLines(text, "click pause"), 1) << "the click at the button's scaled place\n" << text;
  // Resizing gives the game no time of its own: it saw no more than passed.
  EXPECT_LE(recordedMs(text), std::chrono::duration_cast<std::chrono::milliseconds>(played).count());
  EXPECT_EQ(run({TILERUSH_SIM, replay}), 0) << text;
}

}  // namespace
}  // namespace tilerush::e2e
