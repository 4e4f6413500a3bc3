// Starting the game under Xvfb, giving it the keyboard, and reading its screen.
#include "game_on_xvfb.h"

#include <chrono>
#include <cstdlib>
#include <thread>

namespace tilerush::e2e {
namespace {

constexpr std::uint32_t kOrange = 0xFF8000;
constexpr std::uint32_t kBlue = 0x0000FF;
constexpr std::uint32_t kRed = 0xFF0000;
constexpr int kPaddleRow = 456;  // (6762.6 + 169 / 2) / 15

}  // namespace

void pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

Sight look(const Frame& frame) {
  Sight sight;
  int first = -1, last = -1;
  for (int x = 0; x < frame.width; ++x) {
    if (frame.at(x, kPaddleRow) != kOrange) continue;
    if (first < 0) first = x;
    last = x;
  }
  if (first >= 0) sight.paddleCentre = (first + last) / 2;

  long sumX = 0, sumY = 0, count = 0;
  for (int y = 104; y < 482; ++y) {
    for (int x = 8; x < 561; ++x) {
      if (frame.at(x, y) != kBlue) continue;
      sumX += x;
      sumY += y;
      ++count;
    }
  }
  if (count > 0) sight.ballCentre = std::make_pair(int(sumX / count), int(sumY / count));

  // Marker centres: columns at 1440, 2760 and 4080 twips, rows at 840 and 1080.
  for (int row : {60, 76}) {
    for (int column : {136, 224, 312}) sight.livesShown += frame.at(column, row) == kRed;
  }
  return sight;
}

bool buttonFaceAt(const Frame& frame, int x, int y) {
  const std::uint32_t p = frame.at(x, y);
  const int r = p >> 16 & 0xFF, g = p >> 8 & 0xFF, b = p & 0xFF;
  return std::abs(r - g) < 12 && std::abs(g - b) < 12 && r > 190;
}

void GameOnXvfb::start(const std::vector<std::string>& extraEnv, const std::vector<std::string>& args,
                       const std::string& outputFile) {
  // A second start gets a server of its own; the old one goes after what used it.
  x_.reset();
  game_.reset();
  xvfb_ = std::make_unique<XvfbServer>();
  std::vector<std::string> env = {"DISPLAY=" + xvfb_->name(), "QT_QPA_PLATFORM=xcb"};
  env.insert(env.end(), extraEnv.begin(), extraEnv.end());
  std::vector<std::string> argv = {TILERUSH_BINARY};
  argv.insert(argv.end(), args.begin(), args.end());
  if (!outputFile.empty()) {
    // The shell only sends the output to the file; the game takes its place.
    argv.insert(argv.begin(), {"sh", "-c", "out=$1; shift; exec \"$@\" >\"$out\"", "sh", outputFile});
  }
  game_ = std::make_unique<Process>(argv, env);
  x_ = std::make_unique<XConnection>(xvfb_->name());
  window_ = x_->waitForWindow("Tilerush!", std::chrono::seconds(20));
  ASSERT_NE(window_, 0u) << "the game window did not appear";
  // No window manager runs: give the window the keyboard directly.
  xdotool({"windowfocus", "--sync", windowId()});
  // The first frame is painted soon after the window is mapped: wait for the board,
  // found at the same place in the window whatever its scale.
  for (int i = 0; i < 500; ++i) {
    const Frame frame = grab();
    if (frame.at(frame.width / 2, frame.height * 333 / 489) == 0x80FF80) break;
    pause(20);
  }
}

void GameOnXvfb::xdotool(std::vector<std::string> args) {
  args.insert(args.begin(), "xdotool");
  ASSERT_EQ(run(args, {"DISPLAY=" + xvfb_->name()}), 0) << args[1];
}

void GameOnXvfb::clickAt(int x, int y) {
  xdotool({"mousemove", "--window", windowId(), std::to_string(x), std::to_string(y)});
  xdotool({"click", "1"});
}

}  // namespace tilerush::e2e
