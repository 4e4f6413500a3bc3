// The ball tick, the four test points, brick hits and the paddle bounce.
#include <gtest/gtest.h>

#include <cmath>

#include "support/headless_game.h"

namespace tilerush {
using testing::HeadlessGame;

namespace {

// A game whose ball flies in the empty lower half with plain factors of 1.
struct Flight : HeadlessGame {
  Flight() {
    form.open();
    state().xfactor = 1;
    state().yfactor = 1;
  }
  void place(float left, float top, double xspeed, std::int16_t yspeed) {
    element("ball").move(left, top);
    state().xspeed = xspeed;
    state().yspeed = yspeed;
  }
  Element& ball() { return element("ball"); }
};

}  // namespace

TEST(BallTick, AMovingPaddleLaunchesTheBallUpAndAgainstItWithoutDraws) {
  Flight g;
  g.form.Form_KeyDown(kKeyRight, 0);
  g.queueDraws({0.5f});
  g.form.Timer2_Timer();
  EXPECT_EQ(g.state().yspeed, 104);
  EXPECT_EQ(g.state().xspeed, -103.6875);
  EXPECT_EQ(g.ball().left(), 4211 - 103.6875f);
  EXPECT_EQ(g.ball().top(), 6649.60009765625f - 104);
  EXPECT_EQ(g.random.queuedCount(), 1u);

  Flight h;
  h.form.Form_KeyDown(kKeyLeft, 0);
  h.form.Timer2_Timer();
  EXPECT_EQ(h.state().xspeed, 103.6875);
}

TEST(BallTick, ARestingBallWithAStillPaddleStaysAndDrawsNothing) {
  Flight g;
  g.queueDraws({0.5f});
  g.form.Timer2_Timer();
  EXPECT_EQ(g.ball().left(), 4211);
  EXPECT_EQ(g.ball().top(), 6649.60009765625f);
  EXPECT_EQ(g.random.queuedCount(), 1u);
}

TEST(BallTick, SideLimitsClampReverseAndRedrawOnlyWhenPassed) {
  Flight g;
  g.place(223.6875f, 5000, -103.6875, 0);  // lands exactly on the left limit
  g.form.Timer2_Timer();
  EXPECT_EQ(g.ball().left(), 120);
  EXPECT_EQ(g.state().xspeed, -103.6875);

  g.place(150, 5000, -103.6875, 0);
  g.queueDraws({0.2f});
  g.form.Timer2_Timer();
  EXPECT_EQ(g.ball().left(), 120);
  EXPECT_EQ(g.state().xspeed, 103.6875);
  EXPECT_EQ(g.state().xfactor, 1 - 0.2f * 0.05);

  g.state().xfactor = 1;
  g.place(8250, 5000, 103.6875, 0);
  g.queueDraws({0.4f});
  g.form.Timer2_Timer();
  EXPECT_EQ(g.ball().left(), 8302);
  EXPECT_EQ(g.state().xspeed, -103.6875);
  EXPECT_EQ(g.state().xfactor, 1 - 0.4f * 0.05);
}

TEST(BallTick, OneCeilingStrikeInFiveWearsTheCounterDown) {
  Flight g;
  g.place(5000, 1600, 0, 104);
  g.queueDraws({0.4f, 0.2f});  // yfactor, then Int(0.2 x 5) = 1: no wear
  g.form.Timer2_Timer();
  EXPECT_EQ(g.ball().top(), 1560);
  EXPECT_EQ(g.state().yspeed, -104);
  EXPECT_EQ(g.state().roll, 1);
  EXPECT_EQ(g.state().bricksleft, 120);

  g.place(5000, 1600, 0, 104);
  g.queueDraws({0.4f, 0.1f});
  g.form.Timer2_Timer();
  EXPECT_EQ(g.state().roll, 0);
  EXPECT_EQ(g.state().bricksleft, 119);
  EXPECT_EQ(g.element("numbricks").caption(), "119");

  g.state().bricksleft = 1;
  g.place(5000, 1600, 0, 104);
  g.queueDraws({0.4f, 0.1f});
  g.form.Timer2_Timer();
  EXPECT_EQ(g.element("numbricks").caption(), "000");
  EXPECT_EQ(g.element("nextlevel").caption(), "Level: 2");
  EXPECT_EQ(g.element("Timer2").interval(), 0);
  EXPECT_EQ(g.ball().top(), 1560);  // the tick still finishes its move
}

TEST(BallTick, TheFloorIsTestedWithTheNewTopAndTheBallIsLost) {
  Flight g;
  g.place(2000, 7150, 0, -104);
  g.queueDraws({0.0f});
  g.form.Timer2_Timer();
  EXPECT_EQ(g.ball().top(), 7102);
  EXPECT_EQ(g.state().yspeed, 104);
  EXPECT_TRUE(g.session.holding());

  Flight h;
  h.place(2000, 7096, 0, -104);  // new top 7200: not past the limit, bottom is
  h.form.Timer2_Timer();
  EXPECT_EQ(h.ball().top(), 7200);
  EXPECT_EQ(h.state().yspeed, -104);
  EXPECT_TRUE(h.session.holding());

  Flight k;
  k.place(2000, 7101.5f - 104, 0, -104);  // bottom a fraction above the floor
  k.form.Timer2_Timer();
  EXPECT_FALSE(k.session.holding());
}

TEST(HitDetection, TheTopPointStrikesFirstAndSendsTheBallDown) {
  Flight g;
  GameState& s = g.state();
  // Top centre in cell (5, 14); the middle points and the bottom in row 15.
  s.cellval[5][14] = 3;
  s.cellval[6][15] = 3;
  g.place(120 + 2013.75f, 1560 + 3146.8f, 103.6875, 104);
  g.probe.whereball();
  EXPECT_EQ(s.cellval[5][14], 2);
  EXPECT_EQ(s.cellval[6][15], 3);
  EXPECT_EQ(s.yspeed, -104);
  EXPECT_EQ(s.xspeed, 103.6875);
  EXPECT_EQ(s.lastcell, 265);
  EXPECT_EQ(s.points, 10);
  // Next tick the top point is blocked by lastcell; the right point strikes.
  g.probe.whereball();
  EXPECT_EQ(s.cellval[5][14], 2);
  EXPECT_EQ(s.cellval[6][15], 2);
  EXPECT_EQ(s.xspeed, -103.6875);
  EXPECT_EQ(s.lastcell, 286);
}

TEST(HitDetection, PointsInTheLastCellStrikeNothing) {
  Flight g;
  GameState& s = g.state();
  s.cellval[5][15] = 2;
  s.lastcell = 285;
  g.place(120 + 1759, 1560 + 3216.8f, 0, 104);
  g.probe.whereball();
  EXPECT_EQ(s.cellval[5][15], 2);
  EXPECT_EQ(s.points, 0);
}

TEST(HitDetection, ThePaddleIsTouchedOnlyWhenTheBallOverlapsIt) {
  Flight g;
  float paddleTop = g.element("paddle").top();
  g.place(4000, paddleTop - 113, 0, -104);
  g.probe.whereball();
  EXPECT_EQ(g.state().yspeed, -104);
  g.place(4000, std::nextafter(paddleTop - 113, 7000.0f), 0, -104);
  g.probe.whereball();
  EXPECT_EQ(g.state().yspeed, 104);
}

TEST(BrickHit, SpecialBrickOutcomesFollowTheDraws) {
  struct Case {
    std::initializer_list<float> draws;
    std::int16_t value;
    double bricksleft;
    const char* counter;
  };
  const Case cases[] = {
      {{0.8f}, 9, 100, "100"},              // 3: stays
      {{0.1f, 0.5f}, 9, 100, "100"},        // 0, then no luck
      {{0.1f, 0.05f}, 9, 1, "1"},           // 0, then the counter drops to 1
      {{0.3f, 0.6f}, 5, 100, "100"},        // 1: becomes a 5
      {{0.3f, 0.05f, 0.5f}, 0, 99, "099"},  // 1, 0: removed and counted off
      {{0.3f, 0.05f, 0.05f}, 0, 0, "000"},  // removed after the counter fell to 1
  };
  for (const Case& c : cases) {
    Flight g;
    GameState& s = g.state();
    s.cellval[5][14] = 9;
    s.bricksleft = 100;
    g.element("numbricks").setCaption("100");
    g.queueDraws(c.draws);
    g.queueDraws({0.2f, 0.4f});
    g.probe.score(265, 5, 14, 0, -1);
    EXPECT_EQ(s.cellval[5][14], c.value);
    EXPECT_EQ(s.bricksleft, c.bricksleft);
    EXPECT_EQ(g.element("numbricks").caption(), c.counter);
    EXPECT_EQ(s.points, 10);
    EXPECT_EQ(s.xfactor, 1 - 0.2f * 0.05);
    EXPECT_EQ(s.yfactor, 1 - 0.4f * 0.05);
    EXPECT_EQ(g.element("nextlevel").visible(), c.bricksleft == 0);
  }
}

TEST(BrickHit, OrdinaryBricksLoseOneAndSetTheFullStepWithTheAskedSign) {
  Flight g;
  GameState& s = g.state();
  s.cellval[5][14] = 5;
  s.xspeed = 103.6875;
  s.yspeed = -104;
  g.probe.score(265, 5, 14, 1, 0);
  EXPECT_EQ(s.cellval[5][14], 4);
  EXPECT_EQ(g.element("brick", 265).caption(), "4");
  EXPECT_EQ(s.xspeed, 103.6875);
  EXPECT_EQ(s.yspeed, -104);

  s.cellval[5][14] = 1;
  g.probe.score(265, 5, 14, 0, -1);
  EXPECT_FALSE(g.element("brick", 265).visible());
  EXPECT_EQ(s.bricksleft, 119);
  EXPECT_EQ(s.yspeed, -104);

  s.speed = 104.5;  // a half rounds to even for the vertical step only
  s.cellval[5][14] = 2;
  g.probe.score(265, 5, 14, -1, 1);
  EXPECT_EQ(s.yspeed, 104);
  EXPECT_EQ(s.xspeed, -104.5);
  s.speed = 105.5;
  g.probe.score(265, 5, 14, 0, -1);
  EXPECT_EQ(s.yspeed, -106);
}

TEST(PaddleBounce, TheHalfUnderTheBallSteersIt) {
  // Paddle left 3749.5, width 1036: centre 4267.5.
  struct Case {
    float ballLeft;
    double arriving;
    double leaving;
  };
  const Case cases[] = {
      // Two cases a row, each row one place on the paddle.
      // clang-format off
      {3800, 103.6875, -103.6875},     {3800, -103.6875, -103.6875},    // left half
      {4200, 103.6875, 103.6875},      {4200, -103.6875, 103.6875},     // straddling
      {4300, 103.6875, 103.6875},      {4300, -103.6875, 103.6875},     // right half
      {4154.5f, 103.6875, -103.6875},  {4267.5f, -103.6875, 103.6875},  // edges on the centre
      // clang-format on
      {4000, 0, 0},
  };
  for (const Case& c : cases) {
    Flight g;
    g.place(c.ballLeft, 6700, c.arriving, -104);
    g.probe.hitpaddle();
    EXPECT_EQ(g.state().xspeed, c.leaving) << c.ballLeft << " " << c.arriving;
    EXPECT_EQ(g.state().yspeed, 104);
    EXPECT_EQ(g.state().xfactor, 1);
  }
}

TEST(PaddleBounce, ARightSideAHairPastTheCentreStraddlesIt) {
  Flight g;
  g.element("paddle").setLeft(3582);  // centre 4100
  // The right side, 4100.000244140625, would round to the centre as a float.
  g.place(3987.000244140625f, 6700, 103.6875, -104);
  g.probe.hitpaddle();
  EXPECT_EQ(g.state().xspeed, 103.6875);
}

TEST(PaddleBounce, ABallFlushWithAnEndFallsPast) {
  Flight g;
  g.place(3749.5f, 6700, 103.6875, -104);
  g.probe.hitpaddle();
  EXPECT_EQ(g.state().yspeed, -104);
  g.place(3749.5f + 1036 - 113, 6700, 103.6875, -104);
  g.probe.hitpaddle();
  EXPECT_EQ(g.state().yspeed, -104);
}

}  // namespace tilerush
