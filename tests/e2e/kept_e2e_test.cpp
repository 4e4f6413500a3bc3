// The kept games and the day's challenge in the real window: a game played to "Game
// Over" outlives the program, and a day's challenge opens on the day's seed.
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "game_on_xvfb.h"

namespace tilerush::e2e {
namespace {

class Kept : public GameOnXvfb {
 protected:
  void SetUp() override {}
  void closeWindow() {
    x_->requestClose(window_);
    EXPECT_EQ(game_->waitExit(std::chrono::seconds(10)), 0);
  }
  std::string kept(const std::string& name) { return scratch() + "/data/tilerush/" + name; }
};

TEST_F(Kept, AGameToGameOverIsInTheListAfterARestartAndItsKeptReplayHoldsEveryExpectation) {
  start({});
  const auto began = std::chrono::steady_clock::now();
  // The paddle is kept at the left wall, so the balls are lost until the game is over.
  bool over = false;
  while (!over && std::chrono::steady_clock::now() - began < std::chrono::seconds(90)) {
    over = buttonFaceAt(grab(), 228, 180);
    const Sight sight = lookNow();
    if (sight.ballCentre && sight.ballCentre->second >= kBallRestRow - 1) {
      tap("Right");
    } else {
      keyDown("Left");
      pause(400);
      keyUp("Left");
    }
    pause(300);
  }
  ASSERT_TRUE(over) << "no game over within 90 s";
  closeWindow();

  const std::string list = readFile(kept("kept-games.txt"));
  ASSERT_EQ(list.rfind("tilerush kept games 1\ngame id=", 0), 0u) << list;
  const std::string id = list.substr(list.find("id=") + 3, 16);
  EXPECT_EQ(list.find("\ngame id=", 30), std::string::npos) << "one game, once: " << list;
  const std::string replay = kept("games/" + id + ".replay");
  EXPECT_NE(list.find(readFile(replay)), std::string::npos) << "the list holds the replay byte for byte";
  EXPECT_EQ(run({TILERUSH_SIM, replay}), 0) << readFile(replay);

  const std::string errors = scratch() + "/errors.txt";
  start({}, {}, errors);
  pause(500);
  closeWindow();
  EXPECT_EQ(readFile(kept("kept-games.txt")), list) << "started again, the list is read as it was";
  // Nothing said but that there is no sound here.
  std::istringstream said(readFile(errors));
  for (std::string line; std::getline(said, line);) EXPECT_NE(line.find("sound"), std::string::npos) << line;
  EXPECT_FALSE(std::filesystem::exists(kept("games/playing-" + std::to_string(game_->pid()) + ".replay")));
}

TEST_F(Kept, TheChallengeOfADayFromTheTableOpensOnThatDaysSeedAndSaysWhichDay) {
  std::ifstream table(TILERUSH_CHALLENGE_DAYS);
  int played = 0;
  for (std::string day, seed; played < 3 && table >> day >> seed;) {
    if (day == "#" || day.size() != 10) {
      std::getline(table, seed);
      continue;
    }
    // The first, a middle and the last days of the table.
    if (day != "1970-01-01" && day != "2024-02-29" && day != "9999-12-31") continue;
    const std::string recorded = scratch() + "/" + day + ".tilerush";
    start({}, {"--challenge", "--day", day, "--record", recorded});
    pause(300);
    closeWindow();
    EXPECT_NE(readFile(recorded).find("# challenge " + day + "\nseed " + seed + "\nopen\n"),
              std::string::npos)
        << readFile(recorded);
    ++played;
  }
  EXPECT_EQ(played, 3);
}

}  // namespace
}  // namespace tilerush::e2e
