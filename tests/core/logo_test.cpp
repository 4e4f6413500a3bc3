// The three title balls: their steps, their start and their bounces in the box.
#include <gtest/gtest.h>

#include "support/headless_game.h"

namespace tilerush {
using testing::HeadlessGame;

TEST(Logo, StepsAndStartComeFromTheCellSize) {
  HeadlessGame g;
  g.form.open();
  const GameState& s = g.state();
  EXPECT_EQ(s.logoxspeed[0], 182.49);
  EXPECT_EQ(s.logoxspeed[1], -165.9);
  EXPECT_EQ(s.logoxspeed[2], 149.31);
  EXPECT_EQ(s.logoyspeed[0], 149);
  EXPECT_EQ(s.logoyspeed[1], -166);
  EXPECT_EQ(s.logoyspeed[2], -182);
  for (int i = 0; i < 3; ++i) {
    const Element& ball = g.element("logoball", i);
    EXPECT_TRUE(ball.visible());
    EXPECT_EQ(ball.width(), 75.4000015258789f);
    EXPECT_EQ(ball.height(), 75.4000015258789f);
    EXPECT_EQ(ball.left(), 4387.5);
    EXPECT_EQ(ball.top(), 307.5);
  }
}

TEST(Logo, BallsBounceOffTheBoxEdgesClampedForOneTick) {
  HeadlessGame g;
  g.form.open();
  const Element& ball0 = g.element("logoball", 0);
  const Element& ball1 = g.element("logoball", 1);
  g.form.Timer3_Timer();
  EXPECT_EQ(ball1.top(), 141.5);
  EXPECT_EQ(ball0.top(), 456.5);
  g.form.Timer3_Timer();
  EXPECT_EQ(ball1.top(), 0);
  EXPECT_EQ(g.state().logoyspeed[1], 166);
  EXPECT_EQ(ball0.top(), 539.5999755859375f);
  EXPECT_EQ(g.state().logoyspeed[0], -149);
  for (int i = 3; i <= 6; ++i) g.form.Timer3_Timer();
  EXPECT_EQ(ball0.left(), 5482.44140625f);
  EXPECT_EQ(g.state().logoxspeed[0], 182.49);
  g.form.Timer3_Timer();
  EXPECT_EQ(ball0.left(), 5579.60009765625f);
  EXPECT_EQ(g.state().logoxspeed[0], -182.49);
}

TEST(Logo, ABallLandingExactlyOnAnEdgeKeepsGoing) {
  HeadlessGame g;
  g.form.open();
  Element& ball1 = g.element("logoball", 1);
  ball1.setTop(166);
  g.form.Timer3_Timer();
  EXPECT_EQ(ball1.top(), 0);
  EXPECT_EQ(g.state().logoyspeed[1], -166);
}

TEST(Logo, KeepsMovingWhilePlayIsPaused) {
  HeadlessGame g;
  g.form.open();
  g.form.Form_KeyDown(kKeyP, 0);
  g.session.advanceBy(50);
  EXPECT_EQ(g.element("logoball", 1).top(), 141.5);
}

}  // namespace tilerush
