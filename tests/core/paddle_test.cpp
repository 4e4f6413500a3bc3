// Keys, the paddle tick and its limits, the P key and the Pause button.
#include <gtest/gtest.h>

#include "support/headless_game.h"

namespace tilerush {
using testing::HeadlessGame;

TEST(Paddle, HeldRightArrowCarriesThePaddleToTheRightLimitAndNoFurther) {
  HeadlessGame g;
  g.form.open();
  const Element& paddle = g.element("paddle");
  g.form.Form_KeyDown(kKeyRight, 0);
  float before = paddle.left();
  g.form.Timer1_Timer();
  EXPECT_EQ(paddle.left() - before, 207.375f);
  for (int i = 0; i < 40; ++i) g.form.Timer1_Timer();
  EXPECT_EQ(paddle.left(), 7379);
  g.form.Form_KeyDown(kKeyLeft, 0);
  for (int i = 0; i < 40; ++i) g.form.Timer1_Timer();
  EXPECT_EQ(paddle.left(), 120);
}

TEST(Paddle, AStepLandingExactlyOnALimitIsTakenUnchanged) {
  HeadlessGame g;
  g.form.open();
  Element& paddle = g.element("paddle");
  paddle.setLeft(7171.625f);
  g.form.Form_KeyDown(kKeyRight, 0);
  g.form.Timer1_Timer();
  EXPECT_EQ(paddle.left(), 7379);
  paddle.setLeft(327.375f);
  g.form.Form_KeyDown(kKeyLeft, 0);
  g.form.Timer1_Timer();
  EXPECT_EQ(paddle.left(), 120);
}

TEST(Paddle, AnyKeyReleaseStopsThePaddle) {
  HeadlessGame g;
  g.form.open();
  g.form.Form_KeyDown(kKeyRight, 0);
  g.form.Form_KeyDown(kKeyLeft, 0);
  g.form.Form_KeyUp(kKeyLeft, 0);  // the right arrow is still held
  EXPECT_EQ(g.state().paddledir, 0);
  float before = g.element("paddle").left();
  g.form.Timer1_Timer();
  EXPECT_EQ(g.element("paddle").left(), before);
  g.form.Form_KeyDown(kKeyRight, 0);
  g.form.Form_KeyUp('A', 0);
  EXPECT_EQ(g.state().paddledir, 0);
  g.form.Form_KeyDown('A', 0);
  EXPECT_EQ(g.state().paddledir, 0);
}

TEST(Pause, PFreezesPlayAndTheButtonResumesItExactly) {
  HeadlessGame g;
  g.form.open();
  g.form.Form_KeyDown(kKeyRight, 0);
  g.session.advanceBy(100);
  GameState before = g.state();
  const float ballLeft = g.element("ball").left();
  g.form.Form_KeyDown(kKeyP, 0);
  EXPECT_TRUE(g.element("pause").visible());
  EXPECT_EQ(g.element("Timer1").interval(), 0);
  EXPECT_EQ(g.element("Timer2").interval(), 0);
  g.form.Form_KeyDown(kKeyLeft, 0);
  g.form.Form_KeyDown(kKeyP, 0);
  g.session.advanceBy(1000);
  EXPECT_EQ(g.element("ball").left(), ballLeft);
  EXPECT_EQ(g.state().xfactor, before.xfactor);
  g.form.pause_Click();
  EXPECT_FALSE(g.element("pause").visible());
  EXPECT_EQ(g.element("Timer1").interval(), kPlayTickMs);
  EXPECT_EQ(g.element("Timer2").interval(), kPlayTickMs);
  EXPECT_EQ(g.state().xspeed, before.xspeed);
  EXPECT_EQ(g.state().yspeed, before.yspeed);
}

TEST(Pause, ClickedWhileGameOverIsShownItDoesNotRestartPlay) {
  HeadlessGame g;
  g.form.open();
  g.probe.over();
  g.form.Form_KeyDown(kKeyP, 0);
  g.form.pause_Click();
  EXPECT_FALSE(g.element("pause").visible());
  EXPECT_TRUE(g.element("gameover").visible());
  EXPECT_EQ(g.element("Timer1").interval(), 0);
  EXPECT_EQ(g.element("Timer2").interval(), 0);
}

TEST(Serve, ClearsTheDirectionAndRestsTheBallWithFreshFactors) {
  HeadlessGame g;
  g.form.open();
  g.queueDraws({0.0f, 0.5f});
  g.form.Form_KeyDown(kKeyRight, 0);
  g.state().xspeed = 50;
  g.probe.start();
  EXPECT_EQ(g.state().paddledir, 0);
  EXPECT_EQ(g.state().xspeed, 0);
  EXPECT_EQ(g.state().xfactor, 1);
  EXPECT_EQ(g.state().yfactor, 0.975);
  EXPECT_EQ(g.element("paddle").left(), 3749.5);
  EXPECT_EQ(g.element("ball").left(), 4211);
  // With no key down the ball stays put tick after tick.
  g.session.advanceBy(500);
  EXPECT_EQ(g.element("ball").left(), 4211);
  EXPECT_EQ(g.element("ball").top(), 6649.60009765625f);
}

}  // namespace tilerush
