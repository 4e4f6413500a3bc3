// Replays: `expect` as set would store, and a game recorded while it is played
// running back through tilerush-sim with every expectation holding.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "game/session.h"
#include "sim/autoplay.h"
#include "sim/recorder.h"
#include "sim/runner.h"
#include "sim_run.h"

namespace tilerush::sim::testing {
namespace {

int countLines(const std::string& text, const std::string& start) {
  std::istringstream lines(text);
  int count = 0;
  for (std::string line; std::getline(lines, line);) count += line.rfind(start, 0) == 0;
  return count;
}

}  // namespace

TEST(Expect, HoldsWhenTheNameHoldsWhatSetWouldStore) {
  // Each converted as `set` converts: a general number exactly, a float geometry (so
  // 6649.6 names the float the ball's top holds), a 16-bit field rounded half to
  // even, a caption as text, a flag, indexed fields.
  const std::string held =
      "expect cellh 226.1999969482422\nexpect ball.top 6649.6\n"
      "expect numbricks.caption 120\nexpect brick[41].visible true\nexpect brick[62].visible 0\n"
      "expect cellval[1][3] 1\nexpect yspeed 0.4\nexpect lives 3\nexpect logoyspeed[1] -166\n"
      "expect levels[1][1] 11111111111111111111\nexpect Timer3.interval 50\nexpect nummaps 5\n";
  SimRun run = runSim("seed 1\nopen\n" + held);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
}

TEST(Expect, AFailedExpectationStopsTheRunWithStatusOneAndWhatWasFound) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"expect points 10", "expected points 10, found 0"},
      {"expect cellh 226.19", "expected cellh 226.19, found 226.1999969482422"},
      {"expect ball.left 4211.5", "expected ball.left 4211.5, found 4211"},
      {"expect numbricks.caption 121", "expected numbricks.caption 121, found 120"},
      {"expect pause.visible true", "expected pause.visible true, found false"},
      {"expect cellval[2][4] 3", "expected cellval[2][4] 3, found 0"},
      {"expect levels[1][2] 1", "expected levels[1][2] 1, found 10000000000000000001"},
  };
  for (const auto& [line, message] : cases) {
    SimRun run = runSim("seed 1\nopen\ndump points\n" + line + "\ndump points\n");
    EXPECT_EQ(run.status, 1) << line;
    EXPECT_EQ(run.err, "tilerush-sim: line 4: " + message + "\n");
    // What came before stays printed; nothing after the failure runs.
    EXPECT_EQ(countLines(run.out, "{"), 1) << line;
  }
  // What `set` would refuse is an error in the script, not an unmet expectation.
  for (const char* line :
       {"expect lives 40000", "expect ball.colour 3", "expect nothing 1", "expect points"}) {
    EXPECT_EQ(runSim(std::string("seed 1\nopen\n") + line + "\n").status, 2) << line;
  }
}

// A game played by the automatic player through a level advance and a "Game Over",
// recorded as it is played: the recording alone, with no set, tick or draws,
// brings tilerush-sim to the very same state.
TEST(Recording, AGameAcrossALevelAndAGameOverReplaysWithEveryExpectationHeld) {
  std::uint64_t clockSeeds = 1000;
  Session session([&] { return ++clockSeeds; });
  std::string replay;
  const auto keep = [&](std::string_view lines) { replay += lines; };
  Recorder recorder(session, keep, "test", "today");
  session.setInputLog(&recorder);
  int levels = 0, gameOvers = 0;
  session.watchEvents([&](GameEvent event, std::string_view name) {
    levels += event == GameEvent::Click && name == "nextlevel";
    gameOvers += event == GameEvent::Click && name == "gameover";
  });
  session.open();
  Autoplayer player(session);
  std::int64_t played = 0;
  for (; played < 3'600'000 && levels == 0; played += 60'000) player.play(60'000);
  ASSERT_GT(levels, 0);
  // Then a player who only ever launches the ball loses it three times.
  for (; played < 3'600'000 && gameOvers == 0; played += 1000) {
    session.give(Input::keyDown(kKeyRight));
    session.advanceBy(50);
    session.give(Input::keyUp(kKeyRight));
    session.advanceBy(950);
    for (ButtonId shown : {ButtonId::GameOver, ButtonId::NextLevel}) {
      if (session.form().element(shown).visible()) session.give(Input::click(shown));
    }
  }
  ASSERT_GT(gameOvers, 0);
  recorder.finish();

  EXPECT_EQ(countLines(replay, "seed "), 1 + gameOvers) << "each new game names its seed";
  EXPECT_EQ(countLines(replay, "click gameover"), gameOvers);
  for (const char* never : {"set ", "tick ", "draws ", "autoplay "}) EXPECT_EQ(countLines(replay, never), 0);
  EXPECT_GE(countLines(replay, "expect "), 11);

  SimRun run = runSim(replay);
  EXPECT_EQ(run.status, 0) << run.err;
}

TEST(Recording, AHeldKeyIsWrittenOnceAndInputHeldThroughAPauseIsKept) {
  Session session([] { return 7u; });
  std::string replay;
  const auto keep = [&](std::string_view lines) { replay += lines; };
  Recorder recorder(session, keep, "test", "today");
  session.setInputLog(&recorder);
  session.open();
  for (int i = 0; i < 20; ++i) {
    session.give(Input::keyDown(kKeyLeft));  // a held key repeats
    session.advanceBy(33);
  }
  session.give(Input::keyUp(kKeyLeft));
  session.give(Input::keyUp(kKeyRight));  // stops nothing that moves
  EXPECT_EQ(countLines(replay, "key down 37"), 1);
  EXPECT_EQ(countLines(replay, "key up"), 1);

  // A ball on the floor: the next tick loses it, and what is given meanwhile waits.
  session.display().find("ball")->setTop(7102);
  session.advanceBy(25);
  ASSERT_TRUE(session.holding());
  session.give(Input::keyDown(kKeyLeft));
  session.give(Input::keyDown(kKeyLeft));
  EXPECT_EQ(countLines(replay, "key down 37"), 3);
}

}  // namespace tilerush::sim::testing
