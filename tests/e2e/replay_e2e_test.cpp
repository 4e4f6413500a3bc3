// Games played in the real window with real keys, recorded, checked by tilerush-sim
// and watched again in the window.
#include <signal.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "game_on_xvfb.h"

namespace tilerush::e2e {
namespace {

// How much game time the advances of a replay add up to, in milliseconds.
long long recordedMs(const std::string& replay) {
  std::istringstream lines(replay);
  long long total = 0;
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("advance ", 0) == 0) total += std::stoll(line.substr(8));
  }
  return total;
}

int countLines(const std::string& text, const std::string& start) {
  std::istringstream lines(text);
  int count = 0;
  for (std::string line; std::getline(lines, line);) count += line.rfind(start, 0) == 0;
  return count;
}

class Replays : public GameOnXvfb {
 protected:
  void SetUp() override {}
  void TearDown() override {
    GameOnXvfb::TearDown();
    std::filesystem::remove_all(dir_);
  }

  std::string path(const std::string& name) {
    std::filesystem::create_directories(dir_);
    return (dir_ / name).string();
  }
  // The replay names a game; tilerush-sim runs it and checks its expectations.
  int checkWithSim(const std::string& replay) { return run({TILERUSH_SIM, replay}); }
  void closeWindow() {
    x_->requestClose(window_);
    EXPECT_EQ(game_->waitExit(std::chrono::seconds(10)), 0);
  }
  bool gameOverShown() { return buttonFaceAt(grab(), 228, 180); }

  std::filesystem::path dir_ =
      std::filesystem::temp_directory_path() / ("tilerush-replays-" + std::to_string(getpid()));
};

TEST_F(Replays, HalfAMinuteOfRealPlayAcrossAGameOverReplaysWithEveryExpectationHeld) {
  const std::string replay = path("game.tilerush");
  start({}, {"--record", replay});
  const auto began = std::chrono::steady_clock::now();
  auto seconds = [&] {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
  };
  // The paddle is kept at the left wall, so the balls are lost: three of them end
  // the game, and "Game Over" starts another.
  bool restarted = false;
  while (seconds() < 90 && !(restarted && seconds() >= 32)) {
    if (!restarted && gameOverShown()) {
      clickAt(300, 200);
      restarted = true;
      pause(300);
      continue;
    }
    const Sight sight = lookNow();
    if (sight.ballCentre && sight.ballCentre->second >= kBallRestRow - 1) {
      tap("Right");  // launches a served ball
    } else {
      keyDown("Left");
      pause(400);
      keyUp("Left");
    }
    pause(300);
  }
  ASSERT_TRUE(restarted) << "no game over within 90 s";
  closeWindow();

  const std::string text = readFile(replay);
  EXPECT_EQ(text.rfind("# Tilerush replay\n", 0), 0u);
  EXPECT_EQ(text.back(), '\n');
  EXPECT_GE(recordedMs(text), 30'000);
  EXPECT_LT(text.size() * 60'000 / recordedMs(text), 20'000u) << "bytes a minute of play";
  EXPECT_EQ(countLines(text, "click gameover"), 1);
  EXPECT_GE(countLines(text, "expect "), 11);
  for (const char* never : {"set ", "tick ", "draws ", "autoplay "})
    EXPECT_EQ(countLines(text, never), 0) << never;
  EXPECT_EQ(checkWithSim(replay), 0) << text;
}

TEST_F(Replays, AGameKilledMidwayStillReplaysUpToItsLastWholeLine) {
  const std::string replay = path("killed.tilerush");
  start({}, {"--record", replay});
  keyDown("Right");
  pause(700);
  keyUp("Right");
  tap("p");
  pause(200);
  clickAt(300, 240);
  keyDown("Left");
  pause(300);
  kill(game_->pid(), SIGKILL);
  game_->waitExit(std::chrono::seconds(5));

  const std::string text = readFile(replay);
  EXPECT_EQ(text.back(), '\n');
  EXPECT_EQ(countLines(text, "click pause"), 1);
  EXPECT_EQ(countLines(text, "expect "), 0);
  EXPECT_EQ(checkWithSim(replay), 0) << text;
}

TEST_F(Replays, TheWindowPlaysARecordingAtItsPaceDeafToThePlayerAndSaysItHeld) {
  const std::string replay = path("short.tilerush");
  start({}, {"--record", replay});
  keyDown("Right");
  pause(600);
  keyUp("Right");
  pause(500);
  keyDown("Left");
  pause(500);
  keyUp("Left");
  closeWindow();
  const long long ms = recordedMs(readFile(replay));

  const std::string said = path("said.txt");
  start({}, {"--replay", replay}, {}, said);
  const auto began = std::chrono::steady_clock::now();
  // Keys and clicks of whoever watches do not reach the game.
  keyDown("Left");
  pause(400);
  keyUp("Left");
  tap("p");
  for (int i = 0; i < 200 && readFile(said).empty(); ++i) pause(50);
  const auto took =
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - began);
  EXPECT_EQ(readFile(said), "replay: all 18 expectations held\n");
  EXPECT_GE(took.count(), ms - 600) << "the replay ran ahead of its recorded pace";
  ASSERT_TRUE(game_->running()) << "the window stays on the final state";
  closeWindow();
}

TEST_F(Replays, ARecordingOntoAFullDiskIsSaidOnceThePlayGoesOnAndTheStatusIsOne) {
  const std::string errors = path("errors.txt");
  start({}, {"--record", "/dev/full"}, errors);
  const Sight before = lookNow();
  keyDown("Right");
  const Sight moved = lookUntil([&](const Sight& now) { return now.paddleCentre != before.paddleCentre; });
  keyUp("Right");
  EXPECT_NE(moved.paddleCentre, before.paddleCentre) << "the game stopped with the recording";
  tap("p");
  pause(200);
  x_->requestClose(window_);
  EXPECT_EQ(game_->waitExit(std::chrono::seconds(10)), 1);
  // Once, however many lines the game went on to make; the sound's own line may follow.
  const std::string said = readFile(errors);
  EXPECT_EQ(said.rfind("tilerush: cannot write /dev/full: No space left on device; the game plays on, no "
                       "longer recorded\n",
                       0),
            0u)
      << said;
  EXPECT_EQ(countLines(said, "tilerush: cannot write"), 1) << said;
}

}  // namespace
}  // namespace tilerush::e2e
