// Starting the game under Xvfb, giving it the keyboard, and reading its screen.
#include "game_on_xvfb.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>

namespace tilerush::e2e {
namespace {

constexpr std::uint32_t kOrange = 0xFF8000;
constexpr std::uint32_t kBlue = 0x0000FF;
constexpr std::uint32_t kRed = 0xFF0000;
constexpr int kPaddleRow = 456;  // (6762.6 + 169 / 2) / 15

}  // namespace

void pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

Placement Placement::fitted(int width, int height) {
  Placement at;
  at.scale = std::min(width / 568.0, height / 489.0);
  at.left = (width - std::min(width, int(std::lround(568 * at.scale)))) / 2;
  at.top = (height - std::min(height, int(std::lround(489 * at.scale)))) / 2;
  return at;
}

Sight look(const Frame& frame, const Placement& at) {
  Sight sight;
  int first = -1, last = -1;
  const int paddleRow = at.y(kPaddleRow);
  for (int x = 0; x < frame.width; ++x) {
    if (frame.at(x, paddleRow) != kOrange) continue;
    if (first < 0) first = x;
    last = x;
  }
  if (first >= 0) sight.paddleCentre = int(at.layoutX((first + last) / 2));

  long sumX = 0, sumY = 0, count = 0;
  for (int y = at.y(104); y < at.y(482); ++y) {
    for (int x = at.x(8); x < at.x(561); ++x) {
      if (frame.at(x, y) != kBlue) continue;
      sumX += x;
      sumY += y;
      ++count;
    }
  }
  if (count > 0) {
    sight.ballCentre = std::make_pair(int(at.layoutX(int(sumX / count))), int(at.layoutY(int(sumY / count))));
  }

  // Marker centres: columns at 1440, 2760 and 4080 twips, rows at 840 and 1080.
  for (int row : {60, 76}) {
    for (int column : {136, 224, 312}) sight.livesShown += frame.at(at.x(column), at.y(row)) == kRed;
  }
  return sight;
}

bool buttonFaceAt(const Frame& frame, int x, int y) {
  const std::uint32_t p = frame.at(x, y);
  const int r = p >> 16 & 0xFF, g = p >> 8 & 0xFF, b = p & 0xFF;
  return std::abs(r - g) < 12 && std::abs(g - b) < 12 && r > 190;
}

const std::string& GameOnXvfb::scratch() {
  if (scratch_.empty()) {
    std::string name = (std::filesystem::temp_directory_path() / "tilerush-e2e-XXXXXX").string();
    if (mkdtemp(name.data())) scratch_ = name;
  }
  return scratch_;
}

void GameOnXvfb::TearDown() {
  game_.reset();
  if (!scratch_.empty()) std::filesystem::remove_all(scratch_);
}

void GameOnXvfb::useWindowManager(int screenWidth, int screenHeight) {
  managed_ = true;
  screenWidth_ = screenWidth;
  screenHeight_ = screenHeight;
}

void GameOnXvfb::startWindowManager() {
  windowManager_ =
      std::make_unique<Process>(std::vector<std::string>{"openbox", "--sm-disable"},
                                std::vector<std::string>{"DISPLAY=" + xvfb_->name(), "HOME=" + scratch(),
                                                         "XDG_CONFIG_HOME=" + scratch() + "/wm"},
                                scratch() + "/openbox.log");
  XConnection x(xvfb_->name());
  for (int i = 0; i < 500 && !x.windowManagerRunning(); ++i) pause(20);
  ASSERT_TRUE(x.windowManagerRunning()) << "openbox did not start; see " << scratch() << "/openbox.log";
}

void GameOnXvfb::start(const std::vector<std::string>& extraEnv, const std::vector<std::string>& args,
                       const std::string& errorFile, const std::string& outputFile) {
  // A second start gets a server of its own; the old one goes after what used it.
  x_.reset();
  game_.reset();
  windowManager_.reset();
  xvfb_ = std::make_unique<XvfbServer>(screenWidth_, screenHeight_);
  // Held from the start: a server whose last client leaves resets, the pointer's
  // place included.
  x_ = std::make_unique<XConnection>(xvfb_->name());
  if (managed_) startWindowManager();
  if (pointerAtStart_) {
    xdotool({"mousemove", std::to_string(pointerAtStart_->first), std::to_string(pointerAtStart_->second)});
  }
  std::vector<std::string> env = extraEnv;
  for (std::string setting :
       {"DISPLAY=" + xvfb_->name(), std::string("QT_QPA_PLATFORM=xcb"),
        "XDG_CONFIG_HOME=" + scratch() + "/config", "XDG_DATA_HOME=" + scratch() + "/data",
        "PULSE_SERVER=unix:" + scratch() + "/no-sound-server"}) {
    const std::string key = setting.substr(0, setting.find('=') + 1);
    const bool given =
        std::any_of(env.begin(), env.end(), [&](const std::string& e) { return e.rfind(key, 0) == 0; });
    if (!given) env.push_back(setting);
  }
  std::vector<std::string> argv = {TILERUSH_BINARY};
  argv.insert(argv.end(), args.begin(), args.end());
  game_ = std::make_unique<Process>(argv, env, errorFile, outputFile);
  // Generous: on a machine kept busy, a game can take many seconds to show.
  window_ = x_->waitForWindow("Tilerush!", std::chrono::seconds(60));
  ASSERT_NE(window_, 0u) << "the game window did not appear";
  // A window manager gives the window the keyboard as a desktop would; without one,
  // it is given directly.
  xdotool({managed_ ? "windowactivate" : "windowfocus", "--sync", windowId()});
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

Frame GameOnXvfb::grab() {
  try {
    return x_->grab(window_);
  } catch (const std::runtime_error& failed) {
    const char* game = game_ && game_->running() ? " (the game runs on" : " (the game has ended";
    const unsigned long shown = x_->waitForWindow("Tilerush!", std::chrono::milliseconds(100));
    const char* window = shown == window_ ? ")" : shown ? ", in another window now)" : ", no window shown)";
    throw std::runtime_error(failed.what() + std::string(game) + window);
  }
}

void GameOnXvfb::clickAt(int x, int y) {
  xdotool({"mousemove", "--window", windowId(), std::to_string(x), std::to_string(y)});
  xdotool({"click", "1"});
}

}  // namespace tilerush::e2e
