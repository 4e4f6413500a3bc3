// The automatic player: it launches, meets falling balls, lets go, clicks what shows,
// and its play splits into any number of `autoplay` commands.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "game/form_probe.h"
#include "game/session.h"
#include "sim/autoplay.h"
#include "sim/runner.h"
#include "sim_run.h"

namespace tilerush::sim::testing {
namespace {

// A seeded game, open, with the player at its keys and a count of what happened.
struct PlayedGame {
  explicit PlayedGame(std::uint64_t seed = 1) {
    session.fixSeed(seed);
    session.watchEvents([this](GameEvent event, std::string_view) {
      if (event == GameEvent::PauseEnd) ++ballsLost;
      // Falling one moment and rising the next: the paddle (or a brick) turned it.
      std::int16_t yspeed = session.state().yspeed;
      if (lastYspeed < 0 && yspeed > 0) ++returns;
      lastYspeed = yspeed;
    });
    session.open();
  }
  // Sends the resting ball down from (left, top) toward the floor, sideways by `xspeed`.
  void throwDown(float left, float top, double xspeed) {
    session.display().find("ball")->move(left, top);
    FormProbe(session.form()).state().xspeed = xspeed;
    FormProbe(session.form()).state().yspeed = -104;
  }
  double paddleCentre() {
    const Element& paddle = *session.display().find("paddle");
    return paddle.left() + paddle.width() / 2.0;
  }

  Session session{systemClockSeed};
  Autoplayer player{session};
  int ballsLost = 0;
  int returns = 0;
  std::int16_t lastYspeed = 0;
};

}  // namespace

TEST(Autoplay, LaunchesTheServeAndReturnsBallsFallingAnywhere) {
  PlayedGame game;
  game.player.play(50);
  EXPECT_NE(game.session.state().xspeed, 0);
  EXPECT_GT(game.session.state().yspeed, 0);

  // Down the middle, and down each side wall, where the paddle must go right up to
  // the wall: a ball flush with the paddle's end is not returned.
  for (auto [left, xspeed] : {std::pair{2000.0f, 103.6875}, {130.0f, -103.6875}, {8280.0f, 103.6875}}) {
    PlayedGame thrown;
    thrown.player.play(50);
    thrown.throwDown(left, 5400, xspeed);
    thrown.player.play(2000);
    EXPECT_GE(thrown.returns, 1) << "thrown from " << left;
    EXPECT_EQ(thrown.ballsLost, 0) << "thrown from " << left;
    EXPECT_EQ(thrown.session.state().lives, 3);
  }
}

TEST(Autoplay, LetsGoOfTheKeyOnceThePaddleIsUnderTheBall) {
  PlayedGame game;
  FormProbe(game.session.form()).state().cellval = {};  // no brick to turn the ball
  game.player.play(50);
  // Straight up over the paddle, with someone else's key moving the paddle away: the
  // player brings it back and lets go.
  Element& ball = *game.session.display().find("ball");
  ball.move(static_cast<float>(game.paddleCentre() - 56.5), 5500);
  FormProbe(game.session.form()).state().xspeed = 0;
  FormProbe(game.session.form()).state().yspeed = 104;
  game.session.give(Input::keyDown(kKeyRight));
  game.player.play(300);
  EXPECT_EQ(game.session.state().paddledir, 0);
  EXPECT_LE(std::fabs(game.paddleCentre() - (ball.left() + 56.5)), 1036 / 8.0);

  // Straight up far left of the paddle: the paddle follows, then stops under it.
  ball.move(1000, 5500);
  game.player.play(800);
  EXPECT_GT(game.session.state().yspeed, 0) << "still rising";
  EXPECT_EQ(game.session.state().paddledir, 0);
  EXPECT_LE(std::fabs(game.paddleCentre() - 1056.5), 1036 / 8.0);
  // The ceiling turns it (no brick is there to do so); then the paddle returns it.
  game.player.play(1500);
  EXPECT_EQ(game.ballsLost, 0);
  EXPECT_EQ(game.returns, 1);
}

TEST(Autoplay, ClicksTheLevelButtonGameOverAndPauseWhenTheyShow) {
  PlayedGame level;
  FormProbe(level.session.form()).state().bricksleft =
      1;  // the next brick off, or ceiling draw, ends the level
  level.player.play(60'000);
  EXPECT_EQ(level.session.state().levelno, 2);
  EXPECT_FALSE(level.session.display().find("nextlevel")->visible());
  EXPECT_EQ(level.session.display().find("Timer2")->interval(), kPlayTickMs);

  PlayedGame last;
  FormProbe(last.session.form()).state().lives = 1;
  last.session.display().find("ball")->setTop(7102);  // on the floor: the next tick loses it
  last.player.play(1100);
  EXPECT_EQ(last.ballsLost, 1);
  EXPECT_EQ(last.session.state().lives, 3) << "a new game";
  EXPECT_FALSE(last.session.display().find("gameover")->visible());

  PlayedGame paused;
  paused.player.play(1000);
  paused.session.give(Input::keyDown(kKeyP));
  paused.player.play(50);
  EXPECT_FALSE(paused.session.display().find("pause")->visible());
  EXPECT_EQ(paused.session.display().find("Timer1")->interval(), kPlayTickMs);
}

TEST(Autoplay, TheCommandPlaysTheSameHoweverTheTimeIsSplit) {
  SimRun whole = runSim("seed 5\nopen\nautoplay 90000\ndump\n");
  SimRun split = runSim("seed 5\nopen\nautoplay 30000\nautoplay 0\nautoplay 30000\nautoplay 30000\ndump\n");
  ASSERT_EQ(whole.status, 0) << whole.err;
  EXPECT_EQ(whole.out, split.out);
  EXPECT_NE(whole.out.find("\"t\": 90000"), std::string::npos);
}

}  // namespace tilerush::sim::testing
