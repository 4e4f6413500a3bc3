// A hundred games of automatic play from a hundred seeds, over ten million ball ticks,
// with the game's invariants checked after every event.
#include <gtest/gtest.h>

#include <iostream>

#include "careless_play.h"
#include "invariants.h"
#include "sim/autoplay.h"

namespace tilerush::soak {
namespace {

constexpr int kShards = 4;  // run side by side by CTest
constexpr int kGamesPerShard = 25;
// About 42 minutes of play: the player seldom loses a game on its own before that.
constexpr std::int64_t kTicksPerGame = 100'000;
// After each stretch of play someone presses P; the player clicks Pause to go on.
constexpr std::int64_t kStretchMs = 60'000;
// Fewer ball ticks than this for each ball the player loses would make its games
// too short to be worth soaking.
constexpr std::int64_t kLeastTicksPerBallLost = 2'000;

struct Figures {
  std::int64_t ballTicks = 0;
  std::int64_t events = 0;
  std::int64_t startUps = 0;
  std::int64_t games = 0;
  std::int64_t gamesLostByPlayer = 0;
  std::int64_t levelsCleared = 0;
  std::int64_t playerTicks = 0;
  std::int64_t playerBallsLost = 0;
};

// One seed: the player plays until it loses the game or the game has had its share
// of ticks; then the careless player ends it and "Game Over" is clicked, so that
// every game ends the way games end.
void soakOneGame(std::uint64_t seed, Figures& figures) {
  Session session{sim::systemClockSeed};
  sim::Autoplayer player(session);
  InvariantChecker checker(session);
  bool playerAtKeys = true;
  std::int64_t gameOvers = 0;
  std::int64_t gameTicks = 0;
  session.watchEvents([&](GameEvent event, std::string_view name) {
    checker.afterEvent(event, name);
    if (event == GameEvent::Tick && name == "Timer2") {
      ++gameTicks;
      figures.playerTicks += playerAtKeys;
    }
    if (event == GameEvent::PauseEnd) figures.playerBallsLost += playerAtKeys;
    if (event == GameEvent::Click && name == "nextlevel") ++figures.levelsCleared;
    if (event == GameEvent::Click && name == "gameover") ++gameOvers;
  });
  session.fixSeed(seed);
  session.open();
  while (gameOvers == 0 && gameTicks < kTicksPerGame) {
    player.play(kStretchMs);
    session.give(Input::keyDown(kKeyP));
    session.give(Input::keyUp(kKeyP));
  }
  figures.gamesLostByPlayer += gameOvers;
  playerAtKeys = false;
  if (gameOvers == 0) {
    ASSERT_TRUE(playUntilGameOver(session)) << "seed " << seed;
    clickGameOver(session);
  }
  ++figures.games;
  figures.ballTicks += gameTicks;
  figures.events += checker.eventsChecked();
  figures.startUps += checker.startUpsChecked();
  EXPECT_EQ(checker.breachCount(), 0) << "seed " << seed << ": " << checker.report();
}

class GameSoak : public ::testing::TestWithParam<int> {};

TEST_P(GameSoak, TwentyFiveGamesKeepEveryRuleAfterEveryEvent) {
  Figures figures;
  std::uint64_t firstSeed = 1 + static_cast<std::uint64_t>(GetParam()) * kGamesPerShard;
  for (std::uint64_t seed = firstSeed; seed < firstSeed + kGamesPerShard; ++seed) soakOneGame(seed, figures);

  std::cout << "soak seeds " << firstSeed << ".." << firstSeed + kGamesPerShard - 1 << ": games "
            << figures.games << ", ball ticks " << figures.ballTicks << ", events checked " << figures.events
            << ", start-ups " << figures.startUps << ", levels cleared " << figures.levelsCleared
            << ", games the player lost on its own " << figures.gamesLostByPlayer << ", player ball ticks "
            << figures.playerTicks << ", balls the player lost " << figures.playerBallsLost << '\n';
  EXPECT_EQ(figures.games, kGamesPerShard);
  EXPECT_GE(figures.ballTicks, kGamesPerShard * kTicksPerGame);
  EXPECT_GE(figures.playerTicks, kLeastTicksPerBallLost * figures.playerBallsLost);
}

INSTANTIATE_TEST_SUITE_P(Seeds, GameSoak, ::testing::Range(0, kShards));

}  // namespace
}  // namespace tilerush::soak
