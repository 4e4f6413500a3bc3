// The real window on a Wayland compositor through Qt's Wayland plugin, not through
// XWayland: a headless weston of the test's own, its screen read back with weston's
// screenshooter, where the game must show the same pixels as under X11.
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>

#include "game_on_xvfb.h"

namespace tilerush::e2e {
namespace {

constexpr std::uint32_t kBoard = 0x80FF80;
constexpr int kScreenWidth = 1024;
constexpr int kScreenHeight = 768;
// The board's inside (its outline is another colour), in layout pixels at scale 1.
constexpr int kBoardLeft = 9;
constexpr int kBoardTop = 105;
constexpr int kBoardRight = 559;
constexpr int kBoardBottom = 479;

// A binary PPM picture, as ImageMagick writes it; an empty frame if it cannot be read.
Frame readPpm(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::string magic;
  int width = 0, height = 0, depth = 0;
  in >> magic >> width >> height >> depth;
  in.get();
  Frame frame;
  if (!in || magic != "P6" || depth != 255 || width <= 0 || height <= 0) return frame;
  std::vector<unsigned char> bytes(static_cast<std::size_t>(width) * height * 3);
  if (!in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size())))
    return frame;
  frame.width = width;
  frame.height = height;
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    frame.pixels.push_back(std::uint32_t(bytes[i]) << 16 | std::uint32_t(bytes[i + 1]) << 8 | bytes[i + 2]);
  }
  return frame;
}

// The part of the screen the window's layout covers, found by the board: the
// window is put wherever the compositor chooses, with a frame round it.
std::optional<Frame> layoutOnScreen(const Frame& screen) {
  int left = screen.width, top = screen.height, right = -1, bottom = -1;
  for (int y = 0; y < screen.height; ++y) {
    for (int x = 0; x < screen.width; ++x) {
      if (screen.at(x, y) != kBoard) continue;
      left = std::min(left, x);
      top = std::min(top, y);
      right = std::max(right, x);
      bottom = std::max(bottom, y);
    }
  }
  if (right - left != kBoardRight - kBoardLeft || bottom - top != kBoardBottom - kBoardTop)
    return std::nullopt;
  const int originX = left - kBoardLeft, originY = top - kBoardTop;
  if (originX < 0 || originY < 0 || originX + 568 > screen.width || originY + 489 > screen.height)
    return std::nullopt;
  Frame layout;
  layout.width = 568;
  layout.height = 489;
  for (int y = 0; y < layout.height; ++y) {
    for (int x = 0; x < layout.width; ++x) layout.pixels.push_back(screen.at(originX + x, originY + y));
  }
  return layout;
}

class Wayland : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string name = (std::filesystem::temp_directory_path() / "tilerush-wayland-XXXXXX").string();
    ASSERT_NE(mkdtemp(name.data()), nullptr);
    // Wayland wants its runtime folder private to its user.
    ASSERT_EQ(chmod(name.c_str(), 0700), 0);
    dir_ = name;
    // --debug lets weston-screenshooter read the screen back.
    compositor_ = std::make_unique<Process>(
        std::vector<std::string>{"weston", "--backend=headless-backend.so", "--use-pixman",
                                 "--width=" + std::to_string(kScreenWidth),
                                 "--height=" + std::to_string(kScreenHeight), "--socket=" + kSocket,
                                 "--debug", "--no-config", "--idle-time=0", "--log=" + dir_ + "/weston.log"},
        environment(), dir_ + "/weston.err");
    for (int i = 0; i < 1500 && !std::filesystem::exists(dir_ + "/" + kSocket); ++i) pause(20);
    ASSERT_TRUE(std::filesystem::exists(dir_ + "/" + kSocket))
        << "weston did not start; see " << dir_ << "/weston.log";
  }
  void TearDown() override {
    for (auto* process : {&game_, &compositor_}) {
      if (!*process) continue;
      kill((*process)->pid(), SIGTERM);
      (*process)->waitExit(std::chrono::seconds(10));
      process->reset();
    }
    // What a failure leaves is kept to look at: the logs and the last screenshot.
    if (!dir_.empty() && !HasFailure()) std::filesystem::remove_all(dir_);
  }

  std::vector<std::string> environment() const {
    return {"XDG_RUNTIME_DIR=" + dir_, "WAYLAND_DISPLAY=" + kSocket};
  }
  // The whole screen as the compositor shows it now.
  Frame screenshot() {
    std::filesystem::remove(dir_ + "/screen.ppm");
    run({"sh", "-c",
         "cd \"$0\" && rm -f wayland-screenshot-*.png && weston-screenshooter >/dev/null 2>&1 && "
         "convert wayland-screenshot-*.png -depth 8 screen.ppm",
         dir_},
        environment());
    return readPpm(dir_ + "/screen.ppm");
  }

  // The same game as it opens under Xvfb, for its pixels.
  Frame underX11() {
    XvfbServer xvfb;
    XConnection x(xvfb.name());
    Process game({TILERUSH_BINARY},
                 {"DISPLAY=" + xvfb.name(), "QT_QPA_PLATFORM=xcb", "XDG_CONFIG_HOME=" + dir_ + "/x11-config",
                  "PULSE_SERVER=unix:" + dir_ + "/no-sound-server"},
                 dir_ + "/x11-game.log");
    const unsigned long window = x.waitForWindow("Tilerush!", std::chrono::seconds(30));
    Frame frame;
    for (int i = 0; i < 1500 && window; ++i) {
      frame = x.grab(window);
      if (frame.width == 568 && frame.height == 489 && look(frame).ballCentre) break;
      pause(20);
    }
    return frame;
  }

  const std::string kSocket = "tilerush-test";
  std::string dir_;
  std::unique_ptr<Process> compositor_;
  std::unique_ptr<Process> game_;
};

TEST_F(Wayland, TheGameOpensNativelyOnAWaylandCompositorWithTheSameLayoutAsUnderX11) {
  std::vector<std::string> env = environment();
  env.insert(env.end(), {"QT_QPA_PLATFORM=wayland", "DISPLAY=", "XDG_CONFIG_HOME=" + dir_ + "/config",
                         "PULSE_SERVER=unix:" + dir_ + "/no-sound-server"});
  game_ = std::make_unique<Process>(std::vector<std::string>{TILERUSH_BINARY}, env, dir_ + "/game.log");
  // Generous: the compositor, the game and the screenshots share a busy machine.
  std::optional<Frame> layout;
  Frame screen;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (!layout && game_->running() && std::chrono::steady_clock::now() < deadline) {
    screen = screenshot();
    if (!(layout = layoutOnScreen(screen))) pause(250);
  }
  if (!layout) screen.save(dir_ + "/last-screen.ppm");
  ASSERT_TRUE(layout) << "no board on the screen; see the last screenshot and the logs in " << dir_;

  // The game as it opens: the paddle and the ball served at the middle, three lives,
  // and map 1's corner brick, at the pixels the X11 window shows them at.
  const Sight sight = look(*layout);
  ASSERT_TRUE(sight.paddleCentre && sight.ballCentre);
  EXPECT_NEAR(*sight.paddleCentre, 284, 1);
  EXPECT_NEAR(sight.ballCentre->first, 284, 1);
  EXPECT_NEAR(sight.ballCentre->second, kBallRestRow, 1);
  EXPECT_EQ(sight.livesShown, 3);
  EXPECT_EQ(layout->at(13, 141), 0xFF0000u) << "map 1's first brick";
  EXPECT_TRUE(game_->running()) << "the game ended by itself";

  // Pixel for pixel what the window shows under X11, but for the title box, whose
  // little balls run round it on a timer of their own.
  const Frame x11 = underX11();
  ASSERT_EQ(x11.width, 568);
  ASSERT_EQ(x11.height, 489);
  const auto inTitleBox = [](int x, int y) { return x >= 200 && x < 386 && y < 48; };
  int differ = 0;
  for (int y = 0; y < 489; ++y) {
    for (int x = 0; x < 568; ++x) differ += !inTitleBox(x, y) && x11.at(x, y) != layout->at(x, y);
  }
  if (differ) {
    x11.save(dir_ + "/x11.ppm");
    layout->save(dir_ + "/wayland.ppm");
  }
  EXPECT_EQ(differ, 0) << "pixels unlike the window's under X11; both pictures are in " << dir_;
}

}  // namespace
}  // namespace tilerush::e2e
