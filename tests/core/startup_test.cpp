// Start-up: defaults, the geometry worked out from the board, and the restart.
#include <gtest/gtest.h>

#include "support/headless_game.h"

namespace tilerush {
using testing::HeadlessGame;

TEST(StartUp, SetsTheDefaultsAndTheWorkedGeometry) {
  HeadlessGame g;
  g.form.open();
  const GameState& s = g.state();
  EXPECT_EQ(s.lives, 3);
  EXPECT_EQ(s.points, 0);
  EXPECT_EQ(s.bonuspoints, 0);
  EXPECT_EQ(s.levelno, 1);
  EXPECT_EQ(s.mapno, 1);
  EXPECT_EQ(s.nummaps, 5);
  EXPECT_EQ(s.paddledir, 0);
  EXPECT_EQ(s.xspeed, 0);
  EXPECT_EQ(s.yspeed, 0);
  EXPECT_EQ(s.speed, 103.6875);
  EXPECT_EQ(s.cellw, 414.75);
  EXPECT_EQ(s.cellh, 226.1999969482422);
  EXPECT_EQ(s.leftedge, 120);
  EXPECT_EQ(s.rightedge, 8415);
  EXPECT_EQ(s.topedge, 1560);
  EXPECT_EQ(s.bottomedge, 7215);
  EXPECT_EQ(s.brickcount, 120);
  EXPECT_EQ(s.bricksleft, 120);
  // Seed 1 gives these two draws first.
  EXPECT_EQ(s.xfactor, 1 - 0.5665615200996399 * 0.05);
  EXPECT_EQ(s.yfactor, 1 - 0.7457817196846008 * 0.05);
  EXPECT_EQ(g.element("numbricks").caption(), "120");
  EXPECT_EQ(g.element("showscore").caption(), "000000");
  EXPECT_EQ(g.element("highscore").caption(), "000000");
}

TEST(StartUp, ServesTheBallOnTheCentredPaddle) {
  HeadlessGame g;
  g.form.open();
  const Element& paddle = g.element("paddle");
  const Element& ball = g.element("ball");
  EXPECT_EQ(paddle.top(), 6762.60009765625f);
  EXPECT_EQ(paddle.width(), 1036);
  EXPECT_EQ(paddle.height(), 169);
  EXPECT_EQ(paddle.left(), 3749.5);
  EXPECT_EQ(ball.width(), 113);
  EXPECT_EQ(ball.height(), 113);
  EXPECT_EQ(ball.left(), 4211);
  EXPECT_EQ(ball.top(), 6649.60009765625f);
}

TEST(StartUp, CreatesCellsAndLogoBallsInFrontOfTheLayout) {
  HeadlessGame g;
  g.form.open();
  const Display& d = g.display;
  for (int i = 1; i <= 3; ++i) EXPECT_TRUE(g.element("life", i).visible()) << i;
  for (int i = 4; i <= 6; ++i) EXPECT_FALSE(g.element("life", i).visible()) << i;
  EXPECT_FALSE(g.element("brick", 0).visible());
  EXPECT_EQ(d.array("brick")->byIndex().size(), 501u);
  EXPECT_EQ(d.array("logoball")->byIndex().size(), 3u);
  // logoball 0 left its place for the front, so everything behind it moved back one.
  EXPECT_EQ(d.stackPosition(g.element("ball")), 19);
  EXPECT_EQ(d.stackPosition(g.element("brick", 1)), 20);
  EXPECT_EQ(d.stackPosition(g.element("logoball", 2)), 522);
  for (const char* button : {"pause", "gameover", "nextlevel"}) EXPECT_FALSE(g.element(button).visible());
  EXPECT_EQ(g.element("Timer1").interval(), kPlayTickMs);
  EXPECT_EQ(g.element("Timer2").interval(), kPlayTickMs);
  EXPECT_EQ(g.element("Timer3").interval(), kLogoTickMs);
}

TEST(StartUp, KeepsLivesThatAreLeftAndGivesThreeWhenNone) {
  HeadlessGame g;
  g.form.open();
  g.state().lives = 2;
  g.probe.setvariables();
  EXPECT_EQ(g.state().lives, 2);
  g.state().lives = 0;
  g.probe.setvariables();
  EXPECT_EQ(g.state().lives, 3);
}

TEST(StartUp, ReopeningKeepsTheBestScoreAndWhatStartUpDoesNotSet) {
  HeadlessGame g;
  g.form.open();
  GameState& s = g.state();
  s.toppoints = 1230;
  s.points = 1230;
  s.lives = 0;
  s.lastcell = 77;
  s.roll = 3;
  g.element("life", 5).setVisible(true);
  g.form.gameover_Click();
  EXPECT_EQ(g.element("highscore").caption(), "001230");
  EXPECT_EQ(g.element("showscore").caption(), "000000");
  EXPECT_EQ(s.points, 0);
  EXPECT_EQ(s.lives, 3);
  EXPECT_EQ(s.lastcell, 77);
  EXPECT_EQ(s.roll, 3);
  EXPECT_FALSE(g.element("life", 5).visible());
  EXPECT_EQ(g.display.array("brick")->byIndex().size(), 501u);
  EXPECT_EQ(g.display.array("logoball")->byIndex().size(), 3u);
}

}  // namespace tilerush
