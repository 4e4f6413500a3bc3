// The second after a lost ball: ticks are dropped, key, click and tick commands wait
// for its end and then run in order, set and dump act at once.
#include <gtest/gtest.h>

#include "sim_run.h"

namespace tilerush::sim::testing {
namespace {

// Puts the resting ball on the floor: its bottom reaches 7215, so the next ball
// tick finds it lost.
const char* const kOnTheFloor = "set ball.top 7102\n";

}  // namespace

TEST(SimPause, InputDuringThePauseRunsAtItsEndBeforeTheTicksDueThen) {
  // The ball is lost by the Timer2 tick at 25 ms; the pause ends at 1025, where the
  // new serve comes first, then the held key and tick, then the ticks due at 1025.
  SimRun run = runSim(std::string("seed 1\nopen\n") + kOnTheFloor +
                      "advance 25\n"
                      "key down right\ntick Timer1 2\ndump lives paddledir paddle\n"
                      "advance 999\ndump lives\nadvance 1\ndump lives paddledir paddle\n");
  ASSERT_EQ(run.status, 0) << run.err;
  std::istringstream lines(run.out);
  std::string during, stillHeld, after;
  std::getline(lines, during);
  std::getline(lines, stillHeld);
  std::getline(lines, after);
  EXPECT_NE(during.find("\"t\": 25, \"fields\": {\"paddledir\": 0, \"lives\": 3}"), std::string::npos)
      << during;
  EXPECT_NE(during.find("\"left\": 3749.5"), std::string::npos) << during;
  EXPECT_NE(stillHeld.find("\"t\": 1024, \"fields\": {\"lives\": 3}"), std::string::npos) << stillHeld;
  // Two held fires and the tick due at 1025: three steps of 207.375 from the serve.
  EXPECT_NE(after.find("\"t\": 1025, \"fields\": {\"paddledir\": 1, \"lives\": 2}"), std::string::npos)
      << after;
  EXPECT_NE(after.find("\"left\": 4371.625"), std::string::npos) << after;
}

TEST(SimPause, ALostBallDropsTheRestOfATickCommand) {
  SimRun run = runSim(std::string("seed 1\nopen\n") + kOnTheFloor +
                      "tick Timer2 5\nset lives 4\nadvance 1000\ndump lives ball\n");
  ASSERT_EQ(run.status, 0) << run.err;
  // One fire lost the ball; the pause then took one life from the 4 set during it,
  // and the serve put the ball back on the paddle.
  EXPECT_NE(run.out.find("\"t\": 1000, \"fields\": {\"lives\": 3}"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("\"top\": 6649.60009765625"), std::string::npos) << run.out;
}

TEST(SimPause, AHeldClickOnAButtonHiddenByThenFailsOnItsOwnLine) {
  SimRun run = runSim(std::string("seed 1\nopen\nset lives 1\n") + kOnTheFloor +
                      "tick Timer2\nclick gameover\nadvance 1000\ndump lives gameover\n");
  // The last life ends the game at the pause's end, so the held click finds
  // "Game Over" shown and starts a new game.
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out.rfind("{\"t\": 1000, \"fields\": {\"lives\": 3}", 0), 0u) << run.out;
  EXPECT_NE(
      run.out.find("\"gameover\": {\"kind\": \"button\", \"left\": 3360, \"top\": 2640, \"width\": 2415, "
                   "\"height\": 1935, \"visible\": false"),
      std::string::npos)
      << run.out;
  SimRun hidden = runSim(std::string("seed 1\nopen\n") + kOnTheFloor +
                         "tick Timer2\nkey down p\nclick pause\nclick pause\nadvance 1000\n");
  EXPECT_EQ(hidden.status, 2);
  EXPECT_EQ(hidden.err, "tilerush-sim: line 7: cannot click pause: the button is hidden\n");
}

}  // namespace tilerush::sim::testing
