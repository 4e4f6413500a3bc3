// The pointer, a pad and the player leaving reach the game only as its own keys and
// clicks: the paddle goes where the pointer is, a held direction outlives a serve, the
// game pauses when the player leaves, and every such game replays exactly.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "controls/controls.h"
#include "game/form1.h"
#include "game/paced_game.h"
#include "sim/recorder.h"
#include "sim_run.h"

namespace tilerush::sim::testing {
namespace {

// The board spans 120 to 8415 twips across and 1560 to 7215 down.
constexpr double kBoardY = 4000;
// Half of the paddle's step of 2 x speed, with the layout's cell width.
constexpr double kHalfStep = 103.6875;

// A recorded game paced as a front end paces one: woken at each instant something
// falls due, on a real clock the test moves.
class Controlled : public ::testing::Test {
 protected:
  void SetUp() override {
    session.setInputLog(&recorder);
    session.open();
    paced.restartClock(realNs);
  }

  // Every recorded game, whatever steered it, plays back to the same final state.
  void TearDown() override {
    const SimRun run = runSim(recorded + recorder.closing());
    EXPECT_EQ(run.status, 0) << run.err;
  }

  void run(double ms) {
    const std::int64_t end = realNs + static_cast<std::int64_t>(ms * 1e6);
    for (;;) {
      const std::optional<std::int64_t> wait = paced.wakeDelayNs();
      realNs = wait && realNs + *wait <= end ? realNs + *wait : end;
      paced.catchUp(realNs);
      if (realNs == end) return;
    }
  }
  template <typename Done>
  bool runUntil(Done done, double ms = 120000) {
    for (double waited = 0; waited < ms && !done(); waited += 5) run(5);
    return done();
  }

  void point(double x, double y = kBoardY) { controls.pointerAt(GamePoint{x, y}, realNs); }
  double paddleMiddle() const {
    const Rect& r = session.display().find("paddle")->bounds();
    return static_cast<double>(r.left) + static_cast<double>(r.width) / 2;
  }
  bool shown(ButtonId button) { return session.form().element(button).visible(); }
  bool playRuns() { return session.form().element(TimerId::Timer2).interval() > 0; }

  std::int64_t realNs = 5'000'000'000;
  Session session{[] { return 7; }};
  std::string recorded;
  Recorder recorder{session, [this](std::string_view line) { recorded += line; }, "test", "today"};
  PacedGame paced{session};
  Controls controls{paced};
};

TEST_F(Controlled, ThePaddleGoesUnderThePointerStopsThereAndAKeyOrLeavingTheBoardLetsGo) {
  // The ball may be lost on the way; the paddle goes on to the pointer after the serve.
  const auto settled = [&] { return !session.holding() && controls.held() == Steer::None; };
  point(7000);
  EXPECT_EQ(controls.held(), Steer::Right);
  run(25);
  EXPECT_NE(session.state().xspeed, 0) << "moving the pointer launched the ball";
  ASSERT_TRUE(runUntil(settled));
  EXPECT_LE(std::abs(paddleMiddle() - 7000), kHalfStep);

  point(2000);
  ASSERT_TRUE(runUntil(settled));
  EXPECT_LE(std::abs(paddleMiddle() - 2000), kHalfStep);

  // A key takes over from the pointer until the pointer moves again.
  point(7000);
  ASSERT_TRUE(runUntil([&] { return !session.holding() && session.state().paddledir == 1; }));
  controls.key(true, 'M', realNs);
  EXPECT_EQ(controls.held(), Steer::None);
  EXPECT_EQ(session.state().paddledir, 0);
  run(300);
  EXPECT_EQ(session.state().paddledir, 0);
  controls.key(false, 'M', realNs);
  point(7000);
  ASSERT_TRUE(runUntil(settled));
  EXPECT_LE(std::abs(paddleMiddle() - 7000), kHalfStep);

  // The pointer takes over from a pad, and the pad let go then leaves it steering.
  controls.padSteers(Steer::Right, realNs);
  point(2000);
  EXPECT_EQ(controls.held(), Steer::Left);
  controls.padSteers(Steer::None, realNs);
  EXPECT_EQ(controls.held(), Steer::Left);
  ASSERT_TRUE(runUntil(settled));
  EXPECT_LE(std::abs(paddleMiddle() - 2000), kHalfStep);

  // Off the board (over the readouts) the pointer holds nothing.
  point(2000);
  ASSERT_TRUE(runUntil([&] { return !session.holding(); }));
  point(2000, 500);
  EXPECT_EQ(controls.held(), Steer::None);
  EXPECT_EQ(session.state().paddledir, 0);
}

TEST_F(Controlled, WakeUpsThatComeLateStillStopThePaddleUnderAStillPointer) {
  // A busy machine wakes the game a quarter of a second late every time.
  const auto wokenLate = [&] {
    realNs += 250'000'000;
    paced.catchUp(realNs);
  };
  for (const double x : {7000.0, 2000.0, 5000.0}) {
    point(x);
    for (int wakes = 0; wakes < 200 && (session.holding() || controls.held() != Steer::None); ++wakes)
      wokenLate();
    EXPECT_EQ(controls.held(), Steer::None);
    EXPECT_LE(std::abs(paddleMiddle() - x), kHalfStep) << "for the pointer at " << x;
  }
}

TEST_F(Controlled, AHeldDirectionIsPressedAgainAfterAServeOrAnotherKeysRelease) {
  EXPECT_EQ(stickSteer(0.29), Steer::None);
  EXPECT_EQ(stickSteer(-0.5), Steer::Left);
  controls.padSteers(stickSteer(1), realNs);
  ASSERT_TRUE(runUntil([&] { return !session.holding() && session.state().paddledir == 1; }));
  // The release of any key stops the paddle; the next paddle tick finds it still.
  controls.key(false, 'M', realNs);
  EXPECT_EQ(session.state().paddledir, 0);
  run(30);
  EXPECT_EQ(session.state().paddledir, 1);

  // Held at the right wall, the ball is lost sooner or later, and the serve centres
  // and stills the paddle: it goes right again at once.
  ASSERT_TRUE(runUntil([&] { return session.holding(); }));
  ASSERT_TRUE(runUntil([&] { return !session.holding(); }));
  EXPECT_LE(std::abs(paddleMiddle() - 4267.5), 2 * kHalfStep) << "served";
  run(60);
  EXPECT_EQ(session.state().paddledir, 1);
  EXPECT_GT(paddleMiddle(), 4267.5 + 2 * kHalfStep);
}

TEST_F(Controlled, LeavingPausesPlayAndAfterALostBallOnlyIfABallIsServed) {
  controls.padSteers(Steer::Right, realNs);
  run(500);
  controls.playerLeft(realNs);
  EXPECT_TRUE(shown(ButtonId::Pause));
  EXPECT_FALSE(playRuns());
  EXPECT_EQ(controls.held(), Steer::None);
  // Leaving while paused changes nothing; the pad's Start clicks Pause to go on.
  controls.playerLeft(realNs);
  controls.padStart(realNs);
  EXPECT_FALSE(shown(ButtonId::Pause));
  EXPECT_TRUE(playRuns());

  // Left during the pause after a lost ball: the P comes at its end, over a serve...
  controls.padSteers(Steer::Left, realNs);
  ASSERT_TRUE(runUntil([&] { return session.holding(); }));
  controls.playerLeft(realNs);
  EXPECT_FALSE(shown(ButtonId::Pause));
  ASSERT_TRUE(runUntil([&] { return !session.holding(); }));
  EXPECT_TRUE(shown(ButtonId::Pause));
  EXPECT_FALSE(playRuns());
  controls.padA(realNs);
  EXPECT_TRUE(playRuns());

  // ...and never over "Game Over".
  controls.padSteers(Steer::Right, realNs);
  ASSERT_TRUE(runUntil([&] { return session.holding() && session.state().lives == 1; }));
  controls.playerLeft(realNs);
  ASSERT_TRUE(runUntil([&] { return !session.holding(); }));
  EXPECT_TRUE(shown(ButtonId::GameOver));
  EXPECT_FALSE(shown(ButtonId::Pause));

  // With "Game Over" shown, Start and A click it: a new game.
  controls.padStart(realNs);
  EXPECT_FALSE(shown(ButtonId::GameOver));
  EXPECT_EQ(session.state().lives, 3);
  controls.padA(realNs);
  EXPECT_FALSE(shown(ButtonId::Pause)) << "A with no button shown does nothing";
}

}  // namespace
}  // namespace tilerush::sim::testing
