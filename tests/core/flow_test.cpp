// Scoring and extra lives, lost balls and game over, and level advance.
#include <gtest/gtest.h>

#include "support/headless_game.h"

namespace tilerush {
using testing::HeadlessGame;

namespace {

// Drops the ball through the floor with the next ball tick.
void loseBall(HeadlessGame& g) {
  g.element("ball").move(2000, 7150);
  g.state().xspeed = 0;
  g.state().yspeed = -104;
  g.form.Timer2_Timer();
}

bool shown(HeadlessGame& g, int life) { return g.element("life", life).visible(); }

}  // namespace

TEST(Scoring, TheFirstExtraLifeComesOnThe501stHit) {
  HeadlessGame g;
  g.form.open();
  for (int hit = 1; hit <= 500; ++hit) g.probe.updatescore();
  EXPECT_EQ(g.state().bonuspoints, 5000);
  EXPECT_EQ(g.state().lives, 3);
  EXPECT_FALSE(shown(g, 4));
  g.probe.updatescore();
  EXPECT_EQ(g.state().points, 5010);
  EXPECT_EQ(g.state().bonuspoints, 10);
  EXPECT_EQ(g.state().lives, 4);
  EXPECT_TRUE(shown(g, 4));
  EXPECT_EQ(g.element("showscore").caption(), "005010");
  EXPECT_EQ(g.element("highscore").caption(), "005010");
  EXPECT_EQ(g.state().toppoints, 5010);
}

TEST(Scoring, AnAwardPastSixLivesIsLost) {
  HeadlessGame g;
  g.form.open();
  g.state().lives = 6;
  g.state().bonuspoints = 4995;
  g.probe.updatescore();
  EXPECT_EQ(g.state().lives, 6);
  EXPECT_EQ(g.state().bonuspoints, 5);
  EXPECT_TRUE(shown(g, 6));
}

TEST(Scoring, OnlyAStrictlyHigherScoreRewritesTheBest) {
  HeadlessGame g;
  g.form.open();
  g.state().toppoints = 20;
  g.state().points = 10;
  g.element("highscore").setCaption("000020");
  g.probe.updatescore();
  EXPECT_EQ(g.element("highscore").caption(), "000020");
  g.state().points = 1234550;
  g.probe.updatescore();
  EXPECT_EQ(g.element("showscore").caption(), "234560");
  EXPECT_EQ(g.element("highscore").caption(), "234560");
  EXPECT_EQ(g.state().toppoints, 1234560);
}

TEST(LostBall, PausesOneSecondThenTakesALifeAndServes) {
  HeadlessGame g;
  g.form.open();
  g.session.advanceBy(5);
  loseBall(g);
  ASSERT_TRUE(g.session.holding());
  const float logoTop = g.element("logoball", 1).top();
  g.session.advanceBy(999);
  EXPECT_EQ(g.state().lives, 3);
  EXPECT_TRUE(shown(g, 3));
  EXPECT_EQ(g.element("logoball", 1).top(), logoTop);  // no handler runs meanwhile
  g.session.advanceBy(1);
  EXPECT_EQ(g.state().lives, 2);
  EXPECT_FALSE(shown(g, 3));
  EXPECT_EQ(g.element("ball").left(), 4211);
  EXPECT_EQ(g.state().xspeed, 0);
  EXPECT_EQ(g.element("Timer2").interval(), kPlayTickMs);
}

TEST(LostBall, TheThirdLossEndsTheGameAndGameOverStartsAfresh) {
  HeadlessGame g;
  g.form.open();
  g.state().toppoints = 1230;
  for (int loss = 0; loss < 3; ++loss) {
    loseBall(g);
    g.session.advanceBy(1000);
  }
  EXPECT_EQ(g.state().lives, 0);
  EXPECT_FALSE(shown(g, 1));
  EXPECT_TRUE(g.element("gameover").visible());
  EXPECT_EQ(g.element("Timer1").interval(), 0);
  EXPECT_EQ(g.element("Timer2").interval(), 0);
  EXPECT_EQ(g.element("ball").top(), 7102);  // stays where it was lost

  g.form.gameover_Click();
  EXPECT_EQ(g.state().lives, 3);
  EXPECT_FALSE(g.element("gameover").visible());
  EXPECT_EQ(g.element("highscore").caption(), "001230");
  EXPECT_EQ(g.element("numbricks").caption(), "120");
  EXPECT_EQ(g.element("Timer2").interval(), kPlayTickMs);
  EXPECT_TRUE(shown(g, 1) && shown(g, 2) && shown(g, 3));
}

TEST(LostBall, ALifeGivenAtALevelStartIsTakenWithItsHiddenMarker) {
  HeadlessGame g;
  g.form.open();
  g.probe.nextlvl();
  g.form.nextlevel_Click();
  EXPECT_EQ(g.state().lives, 4);
  EXPECT_FALSE(shown(g, 4));
  loseBall(g);
  g.session.advanceBy(1000);
  EXPECT_EQ(g.state().lives, 3);
  EXPECT_TRUE(shown(g, 1) && shown(g, 2) && shown(g, 3));
  EXPECT_FALSE(shown(g, 4));
}

TEST(LevelAdvance, StopsPlayThenTheButtonLaysTheNextMapWithALife) {
  HeadlessGame g;
  g.form.open();
  g.probe.nextlvl();
  EXPECT_TRUE(g.element("nextlevel").visible());
  EXPECT_EQ(g.element("nextlevel").caption(), "Level: 2");
  EXPECT_EQ(g.element("Timer1").interval(), 0);
  g.form.nextlevel_Click();
  EXPECT_FALSE(g.element("nextlevel").visible());
  EXPECT_EQ(g.state().mapno, 2);
  EXPECT_EQ(g.state().bricksleft, 164);
  EXPECT_EQ(g.state().lives, 4);
  EXPECT_FALSE(shown(g, 4));
  EXPECT_EQ(g.element("Timer1").interval(), kPlayTickMs);
  EXPECT_EQ(g.element("Timer2").interval(), kPlayTickMs);
  g.probe.updatescore();
  EXPECT_TRUE(shown(g, 4));
}

TEST(LevelAdvance, MapsRunInACycleWhileTheLevelNumberCountsOn) {
  HeadlessGame g;
  g.form.open();
  g.state().lives = 6;
  for (int level = 2; level <= 6; ++level) {
    g.probe.nextlvl();
    g.form.nextlevel_Click();
  }
  EXPECT_EQ(g.element("nextlevel").caption(), "Level: 6");
  EXPECT_EQ(g.state().levelno, 6);
  EXPECT_EQ(g.state().mapno, 1);
  EXPECT_EQ(g.state().bricksleft, 120);
  EXPECT_EQ(g.state().lives, 6);
}

}  // namespace tilerush
