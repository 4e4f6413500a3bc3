// Whole flows across the modes, each steered by another kind of input, checked by
// what the stage tells its view and by what the games hold: a game played, watched
// as a replay, raced on its first draws and gone back to.
#include "stage/stage.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "game/form_probe.h"
#include "game/keys.h"
#include "kept/kept_game.h"
#include "sim/replay.h"
#include "sim/runner.h"
#include "stage/facts.h"
#include "stage/viewing.h"

namespace tilerush::stage {
namespace {

constexpr double kBoardY = 4000;
// Half of the paddle's step of 2 x speed, with the layout's cell width.
constexpr double kHalfStep = 103.6875;

class SeenView : public View {
 public:
  void show(Session& game) override { shown = &game; }
  void drawing(bool on) override { drawn.push_back(on); }
  void mode(Mode m, const Buttons& b) override {
    modes.push_back(m);
    buttons = b;
  }
  void timeline(const Timeline& t) override { timelines.push_back(t); }
  void verdict(const std::string& text, int status) override { verdicts.push_back({text, status}); }
  void happened(Happening what, double, double) override { heard.push_back(what); }
  void asked(Request request) override { requests.push_back(request); }
  void gameEnded(const FinishedGame& game) override { ended.push_back(game); }

  Session* shown = nullptr;
  std::vector<bool> drawn;
  std::vector<Mode> modes;
  Buttons buttons;
  std::vector<Timeline> timelines;
  std::vector<std::pair<std::string, int>> verdicts;
  std::vector<Happening> heard;
  std::vector<Request> requests;
  std::vector<FinishedGame> ended;
};

class Staged : public ::testing::Test {
 protected:
  // Woken at each instant the shown game's clock needs, as a front end wakes it.
  void run(double ms) {
    const std::int64_t end = realNs + static_cast<std::int64_t>(ms * 1e6);
    for (;;) {
      const std::optional<std::int64_t> wait = stage.wakeDelayNs();
      realNs = wait && realNs + *wait <= end ? realNs + *wait : end;
      stage.wake(realNs);
      if (realNs == end) return;
    }
  }
  template <typename Done>
  bool runUntil(Done done, double ms = 120000) {
    for (double waited = 0; waited < ms && !done(); waited += 5) run(5);
    return done();
  }

  Session& own() { return stage.ownGame(); }
  double paddleMiddle() {
    const Rect& r = own().display().find("paddle")->bounds();
    return static_cast<double>(r.left) + static_cast<double>(r.width) / 2;
  }
  bool shown(ButtonId button) { return own().form().element(button).visible(); }
  bool playRuns() { return own().form().element(TimerId::Timer2).interval() > 0; }
  void point(double x) { stage.pointerAt(GamePoint{x, kBoardY}, realNs); }

  // The player's game so far, checked as the front ends check a replay, then watched.
  Viewing& watchOwnGame() {
    const std::string replay = stage.replaySoFar(realNs);
    Result<sim::ReplayFacts> facts = sim::ReplayCheck::run(std::make_unique<std::istringstream>(replay));
    EXPECT_TRUE(facts) << facts.error();
    auto viewing = std::make_unique<Viewing>(view, replay, std::move(facts).value());
    Viewing& watched = *viewing;
    stage.watch(std::move(viewing), realNs);
    return watched;
  }

  std::int64_t realNs = 5'000'000'000;
  SeenView view;
  int starts = 0;
  Stage stage{view, [] { return 41; },
              Recording{"test", [this] { return "start " + std::to_string(++starts); }, {}}};
};

TEST_F(Staged, ARaceIsSteeredByThePointerAPadAndLeavingAsTheGameBeforeIt) {
  stage.playOwnGame(realNs);
  EXPECT_EQ(view.shown, &own());
  stage.keyDown(kKeyRight, 0, false, realNs);
  run(400);
  stage.keyDown(kKeyRight, 0, true, realNs);
  run(400);
  stage.keyUp(kKeyRight, 0, realNs);
  run(300);

  Viewing& watched = watchOwnGame();
  EXPECT_EQ(view.modes.back(), Mode::Watching);
  EXPECT_TRUE(view.buttons.backToMyGame);
  EXPECT_TRUE(view.buttons.playThisGame) << "the game opened on a seed";
  EXPECT_EQ(view.shown, &watched.game());
  ASSERT_TRUE(watched.firstSeed());
  EXPECT_EQ(*watched.firstSeed(), 41u);

  stage.playThisGame(realNs);
  EXPECT_EQ(stage.mode(), Mode::Playing);
  EXPECT_TRUE(stage.raced());
  EXPECT_EQ(view.shown, &own());
  EXPECT_FALSE(view.buttons.backToMyGame);
  const std::string raced = stage.replaySoFar(realNs);
  EXPECT_NE(raced.find("seed 41\nopen\n"), std::string::npos) << raced;
  EXPECT_EQ(raced.find("key down 39"), std::string::npos) << "the race is recorded afresh";

  // A still pointer stops the paddle under it: the controls still look at the game
  // after every catch-up, the serve and the ball lost on the way included.
  point(7000);
  ASSERT_TRUE(runUntil([&] { return !own().holding() && stage.controls().held() == Steer::None; }));
  EXPECT_LE(std::abs(paddleMiddle() - 7000), kHalfStep);
  run(500);
  EXPECT_LE(std::abs(paddleMiddle() - 7000), kHalfStep) << "the paddle ran on past a still pointer";

  // A pad held right through a lost ball's serve steers right again after it.
  stage.padSteers(Steer::Right, realNs);
  ASSERT_TRUE(runUntil([&] { return own().holding(); }));
  ASSERT_TRUE(runUntil([&] { return !own().holding(); }));
  run(60);
  EXPECT_EQ(own().state().paddledir, 1) << "the held pad was not pressed again after the serve";

  // Leaving during the pause after a lost ball pauses the game at its end.
  ASSERT_TRUE(runUntil([&] { return own().holding(); }));
  stage.playerLeft(realNs);
  ASSERT_TRUE(runUntil([&] { return !own().holding(); }));
  if (!shown(ButtonId::GameOver)) {
    EXPECT_TRUE(shown(ButtonId::Pause));
    EXPECT_FALSE(playRuns());
  }

  // The race, with everything that steered it, replays to the state it reached.
  const std::string replay = stage.replaySoFar(realNs);
  std::istringstream in(replay);
  std::ostringstream out;
  std::ostringstream err;
  EXPECT_EQ(sim::runScript(in, out, err), 0) << err.str();
}

TEST_F(Staged, WatchingHoldsThePlayersGameWhereItStoodAndTheViewerKeysActAsAVideoPlayersDo) {
  stage.playOwnGame(realNs);
  run(1000);
  stage.keyDown(kKeyLeft, 0, false, realNs);
  run(200);
  ASSERT_EQ(own().state().paddledir, kPaddleLeft);

  Viewing& watched = watchOwnGame();
  const std::int64_t stood = own().now();
  EXPECT_EQ(own().state().paddledir, 0) << "the key held is let go";
  EXPECT_TRUE(shown(ButtonId::Pause)) << "the player's game pauses";

  // The keys are the viewer's: Space pauses once however long it is held; a held
  // step repeats; the arrows jump and reach no game.
  run(500);
  ASSERT_TRUE(watched.show().playing());
  stage.keyDown(kKeySpace, 0, false, realNs);
  stage.keyDown(kKeySpace, 0, true, realNs);
  EXPECT_FALSE(watched.show().playing());
  const std::int64_t at = watched.show().now();
  stage.keyDown(kKeyPeriod, 0, false, realNs);
  stage.keyDown(kKeyPeriod, 0, true, realNs);
  EXPECT_EQ(watched.show().now(), at + 2 * sim::kStepMs);
  EXPECT_EQ(view.timelines.back().now, at + 2 * sim::kStepMs) << "each act is told at once";
  stage.keyUp(kKeyLeft, 0, realNs);
  stage.keyDown(kKeyLeft, 0, false, realNs);
  EXPECT_EQ(watched.show().now(), 0);
  EXPECT_EQ(own().now(), stood);

  // The player's own input reaches nothing while watching.
  stage.pointerAt(GamePoint{7000, kBoardY}, realNs);
  stage.padStart(realNs);
  stage.click(ButtonId::Pause, realNs);
  EXPECT_TRUE(shown(ButtonId::Pause));

  // Wherever the end is reached, the verdict is told and the timeline says so; once.
  stage.seek(watched.show().length(), realNs);
  EXPECT_TRUE(view.timelines.back().over);
  ASSERT_EQ(view.verdicts.size(), 1u);
  EXPECT_EQ(view.verdicts[0].second, 0) << view.verdicts[0].first;
  stage.keyDown(kKeyHome, 0, false, realNs);
  EXPECT_FALSE(view.timelines.back().over);
  stage.keyDown(kKeyEnd, 0, false, realNs);
  EXPECT_TRUE(view.timelines.back().over);

  // Back to my game: where it stood, paused, its clock going on from there.
  run(2000);
  stage.playOwnGame(realNs);
  EXPECT_EQ(stage.mode(), Mode::Playing);
  EXPECT_EQ(view.shown, &own());
  EXPECT_EQ(own().now(), stood);
  EXPECT_FALSE(stage.raced());
  stage.click(ButtonId::Pause, realNs);
  EXPECT_TRUE(playRuns());
  run(100);
  EXPECT_EQ(own().now(), stood + 100);
}

TEST_F(Staged, SoundIsHeardFromTheGameShownAtTheNormalSpeedAndKeysAskTheFrontEndOnlyOnTheirFirstPress) {
  stage.playOwnGame(realNs);
  stage.padSteers(Steer::Left, realNs);
  ASSERT_TRUE(runUntil([&] { return own().holding(); }));
  EXPECT_FALSE(view.heard.empty());
  run(3000);

  Viewing& watched = watchOwnGame();
  view.heard.clear();
  view.drawn.clear();
  stage.seek(watched.show().length() / 2, realNs);
  EXPECT_TRUE(view.heard.empty()) << "a seek's run ahead is heard";
  EXPECT_EQ(view.drawn, (std::vector<bool>{false, true}));
  stage.seek(0, realNs);
  stage.setSpeed(sim::kNormalSpeed + 1, realNs);
  run(3000);
  EXPECT_TRUE(view.heard.empty()) << "sped up, the replay is heard";
  stage.setSpeed(sim::kNormalSpeed, realNs);
  stage.seek(0, realNs);
  if (!watched.show().playing()) stage.playOrPause(realNs);
  ASSERT_TRUE(runUntil([&] { return !view.heard.empty(); }, 3000));

  view.requests.clear();
  stage.keyDown(kKeyM, 0, false, realNs);
  stage.keyDown(kKeyM, 0, true, realNs);
  stage.keyDown(kKeyEnter, 0, false, realNs);
  stage.keyDown(kKeyEnter, kAltHeld, false, realNs);
  stage.keyDown(kKeyF11, 0, false, realNs);
  stage.keyDown(kKeyEscape, 0, false, realNs);
  EXPECT_EQ(view.requests, (std::vector<Request>{Request::ToggleSound, Request::ToggleFullScreen,
                                                 Request::ToggleFullScreen, Request::LeaveFullScreen}));
}

TEST(StageFacts, TheClockShowsMinutesSecondsAndCutTenths) {
  EXPECT_EQ(clockText(0), "0:00.0");
  EXPECT_EQ(clockText(-5), "0:00.0");
  EXPECT_EQ(clockText(59'999), "0:59.9");
  EXPECT_EQ(clockText(61'250), "1:01.2");
  EXPECT_EQ(clockText(kLongestReplayMs), "1440:00.0");
}

}  // namespace
}  // namespace tilerush::stage

namespace tilerush::stage {
namespace {

int count(const std::string& text, const std::string& line) {
  int found = 0;
  for (std::size_t at = text.find(line); at != std::string::npos; at = text.find(line, at + 1))
    found += at == 0 || text[at - 1] == '\n';
  return found;
}

// Two games of the day's challenge in one run, each handed over at its "Game Over":
// each replay is one game on the day's seed, the second with the High the first left,
// and each plays alone through tilerush-sim's runner with every expectation held.
TEST_F(Staged, EachGameOfARunIsAReplayOfItsOwnThatReplaysAloneWithTheHighItStartedWith) {
  const kept::Day day{2026, 12, 10};
  stage.challenge(day, realNs);
  auto playToGameOver = [&] {
    return runUntil([&] {
      if (shown(ButtonId::GameOver)) return true;
      stage.keyDown(kKeyRight, 0, false, realNs);
      run(30);
      stage.keyUp(kKeyRight, 0, realNs);
      return false;
    });
  };
  ASSERT_TRUE(playToGameOver());
  ASSERT_EQ(view.ended.size(), 1u) << "handed over at Game Over, not at the click";
  EXPECT_TRUE(view.ended[0].over);
  EXPECT_FALSE(stage.gameInProgress(realNs)) << "a game is handed over once";
  ASSERT_GT(own().state().toppoints, 0);
  // A High from games before, above anything the next game reaches: its replay holds
  // only if it starts with it.
  const std::int32_t high = 99'990;
  FormProbe(own().form()).state().toppoints = high;
  // And a roll of the special brick, which the next game shows until it rolls again.
  FormProbe(own().form()).state().roll = 7;
  run(700);
  stage.click(ButtonId::GameOver, realNs);
  EXPECT_EQ(view.ended.size(), 1u);
  // Cut short before it strikes a brick: the cell the last game's ball tested last,
  // which start-up leaves, is the new game's until then, and its replay says so.
  const std::optional<FinishedGame> going = stage.gameInProgress(realNs);
  ASSERT_TRUE(going);
  EXPECT_FALSE(going->over);
  std::istringstream goingIn(going->replay);
  std::ostringstream goingOut;
  std::ostringstream goingErr;
  EXPECT_EQ(sim::runScript(goingIn, goingOut, goingErr), 0) << goingErr.str() << going->replay;
  run(2000);
  ASSERT_TRUE(playToGameOver());
  ASSERT_EQ(view.ended.size(), 2u);

  const std::string seedLine = "seed " + std::to_string(kept::challengeSeed(day)) + "\n";
  for (const FinishedGame& game : view.ended) {
    const std::string& replay = game.replay;
    EXPECT_EQ(replay.rfind("# Tilerush replay\n", 0), 0u) << replay;
    EXPECT_EQ(count(replay, "open"), 1);
    EXPECT_EQ(count(replay, "click gameover"), 0);
    EXPECT_NE(replay.find("# challenge 2026-12-10\n" + seedLine + "open\n"), std::string::npos) << replay;
    std::istringstream in(replay);
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(sim::runScript(in, out, err), 0) << err.str();
  }
  EXPECT_EQ(count(view.ended[0].replay, "high"), 0);
  EXPECT_NE(view.ended[1].replay.find("\nhigh " + std::to_string(high) + "\nlastcell "), std::string::npos)
      << view.ended[1].replay;

  // The game derived from its replay is the game as it ended.
  Result<kept::KeptGame> kept = kept::keptFromReplay(view.ended[1].replay);
  ASSERT_TRUE(kept) << kept.error();
  EXPECT_EQ(kept.value().kind, kept::GameKind::Challenge);
  EXPECT_EQ(kept.value().day, day);
  EXPECT_EQ(kept.value().score, static_cast<std::int64_t>(own().state().points));
  EXPECT_EQ(kept.value().bricksLeft, static_cast<int>(own().state().bricksleft));
}

}  // namespace
}  // namespace tilerush::stage

namespace tilerush::stage {
namespace {

// One map of two bricks, started from; its games are on it, and so is a race of one.
TEST_F(Staged, AGameOnALevelSetIsRecordedWithItsSetAndRacedOnItWhileAChallengeIsOnTheGamesOwnMaps) {
  levels::LevelSet set{"Tiny", {levels::builtInSet().maps[0], levels::Map{}}};
  set.maps[1].fill("00000000000000000000");
  set.maps[1][0] = "10000000000000000001";
  stage.playLevels({set, 2}, realNs);
  EXPECT_EQ(own().state().nummaps, 2);
  EXPECT_EQ(own().state().mapno, 2);
  EXPECT_EQ(own().state().bricksleft, 2);
  run(1000);
  const std::string replay = stage.replaySoFar(realNs);
  EXPECT_NE(replay.find("# levels Tiny\nmap 1 "), std::string::npos) << replay;
  EXPECT_NE(replay.find("startmap 2\nseed 41\nopen\n"), std::string::npos) << replay;

  Viewing& watched = watchOwnGame();
  EXPECT_EQ(watched.game().state().nummaps, 2) << "watched on its set";
  stage.playThisGame(realNs);
  EXPECT_TRUE(stage.raced());
  EXPECT_EQ(own().state().nummaps, 2) << "raced on its set";
  EXPECT_EQ(own().state().mapno, 2);
  EXPECT_EQ(own().form().chosenLevels()->title, "Tiny");

  stage.challenge(kept::Day{2026, 12, 24}, realNs);
  EXPECT_EQ(own().state().nummaps, 5) << "the day's challenge is on the game's own maps";
  EXPECT_EQ(stage.replaySoFar(realNs).find("map 1 "), std::string::npos);
}

}  // namespace
}  // namespace tilerush::stage
