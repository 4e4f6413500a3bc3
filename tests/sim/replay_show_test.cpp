// A replay watched like a video: whatever instant it is taken to, forward or back,
// across lost balls, a cleared level and "Game Over", the game shown is the one
// tilerush-sim reaches by then; its end is what watching it to the end shows.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "game/form1.h"
#include "game/paced_game.h"
#include "sim/dump.h"
#include "sim/recorder.h"
#include "sim/replay_show.h"
#include "sim_run.h"
#include "support/recorded_replay.h"

namespace tilerush::sim::testing {
namespace {

// What tilerush-sim prints of the replay cut at `t`: the truth about it there.
std::string truthAt(const std::string& script, std::int64_t t) {
  const std::string cut = tilerush::testing::replayCutAt(script, t);
  SimRun run = runSim(cut + "dump\n");
  EXPECT_EQ(run.status, 0) << run.err;
  return run.out;
}

// Two dumps alike; else where they part, not two pages of JSON.
void expectSameState(const std::string& shown, const std::string& truth, const std::string& where) {
  const auto parted = std::mismatch(shown.begin(), shown.end(), truth.begin(), truth.end());
  if (parted.first == shown.end() && parted.second == truth.end()) return;
  const std::size_t at = static_cast<std::size_t>(parted.first - shown.begin());
  const std::size_t from = at < 120 ? 0 : at - 120;
  ADD_FAILURE() << where << " (" << shown.size() << " and " << truth.size() << " long): shown ..."
                << shown.substr(from, 200) << "\nwhere the runner has ..." << truth.substr(from, 200);
}

ReplayFacts factsOf(const std::string& script) {
  ReplayCheck check(std::make_unique<std::istringstream>(script));
  while (!check.proceed(3'600'000)) {
  }
  EXPECT_EQ(check.wrong(), "");
  return check.facts();
}

class Watching : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    script_ = new std::string(tilerush::testing::recordedGame());
    facts_ = new ReplayFacts(factsOf(*script_));
  }
  static void TearDownTestSuite() {
    delete script_;
    delete facts_;
  }

  std::string shown() { return dumpJson(session, {}); }
  void expectTruthAt(std::int64_t t) {
    show.seek(t, realNs);
    ASSERT_EQ(show.now(), t);
    expectSameState(shown(), truthAt(*script_, t), "at " + std::to_string(t));
  }
  std::int64_t markOf(Mark::Kind kind, int nth = 0) const {
    for (const Mark& mark : facts_->marks) {
      if (mark.kind == kind && nth-- == 0) return mark.at;
    }
    ADD_FAILURE() << "no such mark";
    return 0;
  }
  // A front end's wake-ups on a real clock the test moves, until the replay ends.
  void watchToTheEnd() {
    for (int wakes = 0; !show.over() && wakes < 10'000'000; ++wakes) {
      const std::optional<std::int64_t> wait = paced.wakeDelayNs();
      ASSERT_TRUE(wait.has_value()) << "the show stopped short of its end at " << show.now();
      realNs += std::max<std::int64_t>(*wait, 1'000'000);
      paced.catchUp(realNs);
    }
  }

  static std::string* script_;
  static ReplayFacts* facts_;
  std::int64_t realNs = 0;
  Session session{[] { return 99; }};
  PacedGame paced{session};
  std::vector<std::string> ended;
  ReplayShow show{paced, *script_, *facts_,
                  [this](const std::string& verdict, int) { ended.push_back(verdict); }};
};
std::string* Watching::script_ = nullptr;
ReplayFacts* Watching::facts_ = nullptr;

TEST_F(Watching, EverySeekForwardOrBackLandsOnTheStateTheRunnerReaches) {
  const std::int64_t lost = markOf(Mark::Kind::LostBall);
  const std::int64_t cleared = markOf(Mark::Kind::LevelCleared);
  const std::int64_t over = markOf(Mark::Kind::GameOver);
  ASSERT_LT(cleared, over);
  for (std::int64_t t :
       {std::int64_t{0}, lost - 1, lost, lost + 500, lost + 1000, lost + 1001, cleared + 3000, cleared,
        cleared - 1, over + 10, over - 1000, lost / 2, show.length() - 1}) {
    expectTruthAt(t);
  }
  // The pause after a lost ball starts at its mark.
  show.seek(lost, realNs);
  EXPECT_TRUE(session.holding());
  EXPECT_TRUE(ended.empty()) << "not at the end yet";
}

TEST_F(Watching, KeysStepJumpAndGoFromMarkToMark) {
  show.seek(10'000, realNs);
  EXPECT_FALSE(show.key(kKeyP, realNs)) << "P is no viewer's key";
  show.key(190, realNs);  // .
  EXPECT_EQ(show.now(), 10'025);
  show.key(188, realNs);  // ,
  show.key(188, realNs);
  EXPECT_EQ(show.now(), 9'975);
  show.key(kKeyRight, realNs);
  EXPECT_EQ(show.now(), 14'975);
  show.key(kKeyLeft, realNs);
  show.key(kKeyLeft, realNs);
  show.key(kKeyLeft, realNs);
  EXPECT_EQ(show.now(), 0) << "no further back than the start";

  std::vector<std::int64_t> visited;
  for (std::int64_t at = -1; show.now() > at;) {
    at = show.now();
    show.key(34, realNs);  // Page Down
    visited.push_back(show.now());
  }
  std::vector<std::int64_t> expected;
  for (const Mark& mark : facts_->marks) expected.push_back(mark.at);
  expected.push_back(show.length());
  expected.push_back(show.length());
  EXPECT_EQ(visited, expected);
  show.key(33, realNs);  // Page Up
  EXPECT_EQ(show.now(), facts_->marks.back().at);
  show.key(36, realNs);  // Home
  EXPECT_EQ(show.now(), 0);
}

TEST_F(Watching, TheEndIsWhatWatchingToTheEndShowsAtAnySpeed) {
  show.key(35, realNs);  // End
  ASSERT_TRUE(show.over());
  const std::string end = shown();
  EXPECT_EQ(ended, std::vector<std::string>{show.verdict()});
  EXPECT_EQ(show.verdict().rfind("replay: all ", 0), 0) << show.verdict();
  EXPECT_EQ(show.status(), 0);

  show.seek(0, realNs);
  show.play(realNs);
  watchToTheEnd();
  expectSameState(shown(), end, "watched to the end");
  EXPECT_EQ(paced.wakeDelayNs(), std::nullopt) << "the final state stands";

  show.seek(show.length() / 3, realNs);
  show.setSpeed(kSpeeds.size() - 1, realNs);
  show.play(realNs);
  watchToTheEnd();
  expectSameState(shown(), end, "watched to the end at 16 times");
  EXPECT_EQ(ended.size(), 1u) << "the verdict is told once";
}

TEST_F(Watching, ARaceOpensOnTheReplaysFirstSeedAndIsRecordedAsAnyGame) {
  ASSERT_EQ(firstSeed(*script_), std::optional<std::uint64_t>(1));
  EXPECT_EQ(firstSeed("# no seed\nopen\nseed 5\n"), std::nullopt);
  EXPECT_EQ(firstSeed("seed 18446744073709551616\nopen\n"), std::nullopt) << "out of range";

  Session race([] { return 4242; });
  std::string lines;
  const auto keep = [&](std::string_view line) { lines += line; };
  Recorder recorder(race, keep, "test", "today");
  race.setInputLog(&recorder);
  race.seedNextStartUp(*firstSeed(*script_));
  race.open();
  show.seek(0, realNs);
  // The replay's first key comes at its first instant; the draws are the same.
  const std::vector<std::string_view> draws = {"xfactor", "yfactor", "logoxspeed", "logoyspeed"};
  EXPECT_EQ(dumpJson(race, draws), dumpJson(session, draws));
  EXPECT_NE(lines.find("\nseed 1\nopen\n"), std::string::npos) << lines;
  EXPECT_EQ(race.upcomingSeed(), 4242u) << "the next game draws from the clock again";
}

}  // namespace
}  // namespace tilerush::sim::testing
