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
  auto dumps = dumpsOf(run.out);
  ASSERT_EQ(dumps.size(), 3u) << run.out;
  auto& during = dumps[0];
  EXPECT_EQ(during["t"], 25);
  EXPECT_EQ(during["fields"], (nlohmann::json{{"paddledir", 0}, {"lives", 3}}));
  EXPECT_EQ(during["elements"]["paddle"]["left"], 3749.5);
  EXPECT_EQ(dumps[1]["t"], 1024);
  EXPECT_EQ(dumps[1]["fields"]["lives"], 3) << "still held";
  // Two held fires and the tick due at 1025: three steps of 207.375 from the serve.
  auto& after = dumps[2];
  EXPECT_EQ(after["t"], 1025);
  EXPECT_EQ(after["fields"], (nlohmann::json{{"paddledir", 1}, {"lives", 2}}));
  EXPECT_EQ(after["elements"]["paddle"]["left"], 4371.625);
}

TEST(SimPause, ALostBallDropsTheRestOfATickCommand) {
  SimRun run = runSim(std::string("seed 1\nopen\n") + kOnTheFloor +
                      "tick Timer2 5\nset lives 4\nadvance 1000\ndump lives ball\n");
  ASSERT_EQ(run.status, 0) << run.err;
  // One fire lost the ball; the pause then took one life from the 4 set during it,
  // and the serve put the ball back on the paddle.
  auto dump = dumpsOf(run.out).back();
  EXPECT_EQ(dump["t"], 1000);
  EXPECT_EQ(dump["fields"]["lives"], 3);
  EXPECT_EQ(dump["elements"]["ball"]["top"], 6649.60009765625);
}

TEST(SimPause, AHeldClickOnAButtonHiddenByThenFailsOnItsOwnLine) {
  SimRun run = runSim(std::string("seed 1\nopen\nset lives 1\n") + kOnTheFloor +
                      "tick Timer2\nclick gameover\nadvance 1000\ndump lives gameover\n");
  // The last life ends the game at the pause's end, so the held click finds
  // "Game Over" shown and starts a new game.
  ASSERT_EQ(run.status, 0) << run.err;
  auto dump = dumpsOf(run.out).back();
  EXPECT_EQ(dump["t"], 1000);
  EXPECT_EQ(dump["fields"]["lives"], 3);
  auto gameover = dump["elements"]["gameover"];
  EXPECT_EQ(gameover["kind"], "button");
  EXPECT_EQ(gameover["left"], 3360);
  EXPECT_EQ(gameover["top"], 2640);
  EXPECT_EQ(gameover["width"], 2415);
  EXPECT_EQ(gameover["height"], 1935);
  EXPECT_EQ(gameover["visible"], false);
  SimRun hidden = runSim(std::string("seed 1\nopen\n") + kOnTheFloor +
                         "tick Timer2\nkey down p\nclick pause\nclick pause\nadvance 1000\n");
  EXPECT_EQ(hidden.status, 2);
  EXPECT_EQ(hidden.err, "tilerush-sim: line 7: cannot click pause: the button is hidden\n");
}

}  // namespace tilerush::sim::testing
