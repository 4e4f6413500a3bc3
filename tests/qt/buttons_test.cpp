// The three push buttons, and input held through the pause after a lost ball.
#include <QApplication>

#include "qt_game_fixture.h"

namespace tilerush::testing {
namespace {

using Buttons = QtGameTest;

TEST_F(Buttons, NeverTakeTheKeyboardSoArrowsStillSteerWhileOneShows) {
  // Asked of the window itself: Qt 6.8 deprecates making another widget active.
  window().activateWindow();
  EXPECT_TRUE(QTest::qWaitForWindowActive(&window()));
  window().setFocus();
  for (const char* name : {"pause", "gameover", "nextlevel"}) {
    ASSERT_NE(window().button(name), nullptr) << name;
    EXPECT_EQ(window().button(name)->focusPolicy(), Qt::NoFocus) << name;
  }
  pressKey(Qt::Key_P);
  clickButton("pause");
  EXPECT_FALSE(window().button("pause")->hasFocus());

  pressKey(Qt::Key_P);
  EXPECT_TRUE(window().button("pause")->isVisible());
  QTest::keyPress(QApplication::focusWidget() ? QApplication::focusWidget() : &window(), Qt::Key_Left);
  EXPECT_EQ(state().paddledir, 2);
}

TEST_F(Buttons, PauseResumesExactlyWherePlayStopped) {
  pressKey(Qt::Key_Right);
  tick(TimerId::Timer2);
  const double xspeed = state().xspeed;
  const double xfactor = state().xfactor;
  pressKey(Qt::Key_P);
  const Rect ball = element("ball").bounds();

  clickButton("pause");
  EXPECT_FALSE(window().button("pause")->isVisible());
  EXPECT_TRUE(running(TimerId::Timer1));
  EXPECT_TRUE(running(TimerId::Timer2));
  EXPECT_EQ(element("ball").left(), ball.left);
  EXPECT_EQ(state().xspeed, xspeed);
  EXPECT_EQ(state().xfactor, xfactor);
}

TEST_F(Buttons, LevelButtonStartsTheNextMapAndGameOverStartsANewGame) {
  FormProbe(game->form()).nextlvl();
  QPushButton* next = window().button("nextlevel");
  EXPECT_TRUE(next->isVisible());
  EXPECT_EQ(next->text(), "Level: 2");
  EXPECT_EQ(next->geometry(), QRect(184, 320, 233, 65));
  clickButton("nextlevel");
  EXPECT_FALSE(next->isVisible());
  EXPECT_EQ(state().mapno, 2);
  EXPECT_EQ(state().lives, 4);
  EXPECT_TRUE(running(TimerId::Timer2));
  // Map 2 opens with a strength-4 brick in the first cell.
  EXPECT_EQ(pixelAt(grab(), 200, 2125), rgb(0x00FF00));

  state().lives = 0;
  state().toppoints = 1230;
  FormProbe(game->form()).over();
  QPushButton* gameover = window().button("gameover");
  EXPECT_TRUE(gameover->isVisible());
  clickButton("gameover");
  EXPECT_FALSE(gameover->isVisible());
  EXPECT_EQ(state().lives, 3);
  EXPECT_EQ(state().mapno, 1);
  EXPECT_EQ(element("highscore").caption(), "001230");
  const QImage image = grab();
  EXPECT_EQ(pixelAt(image, 200, 2125), rgb(0x0000FF)) << "map 1 is back";
  EXPECT_EQ(centreOf(image, element("life", 3)), 0xFF0000u);
  // The rebuilt window still answers keys and clicks.
  pressKey(Qt::Key_P);
  EXPECT_TRUE(window().button("pause")->isVisible());
  clickButton("pause");
  EXPECT_FALSE(window().button("pause")->isVisible());
  EXPECT_TRUE(running(TimerId::Timer1));
}

// Puts the ball where the next ball tick loses it, far from the paddle.
void dropBall(GameState& state, Element& ball) {
  state.xspeed = 0;
  state.yspeed = -100;
  ball.move(1000, 7215 - 113 - 50);
}

using LostBall = QtGameTest;

TEST_F(LostBall, HoldsKeysAndDropsTicksUntilThePauseEndsThenServesBeforeTheHeldKeys) {
  dropBall(state(), element("ball"));
  tick(TimerId::Timer2);
  ASSERT_TRUE(holding());
  EXPECT_EQ(state().lives, 3) << "the life goes when the pause ends";

  const Rect lostAt = element("ball").bounds();
  tick(TimerId::Timer2);
  EXPECT_EQ(element("ball").top(), lostAt.top) << "ticks in the pause are lost";
  pressKey(Qt::Key_Right);
  EXPECT_EQ(state().paddledir, 0) << "keys wait for the pause to end";

  ASSERT_TRUE(eventually([&] { return !holding(); }));
  EXPECT_EQ(state().lives, 2);
  EXPECT_FALSE(element("life", 3).visible());
  // The serve cleared the direction; the held key-down came after it.
  EXPECT_EQ(state().paddledir, 1);
  EXPECT_EQ(centreOf(grab(), element("life", 3)), 0xF0F0F0u);
}

TEST_F(LostBall, WindowGoesOnPaintingDuringThePause) {
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window()));
  dropBall(state(), element("ball"));
  tick(TimerId::Timer2);
  ASSERT_TRUE(holding());
  // Something changes on screen while no game handler may run.
  int painted = 0;
  struct Counter : QObject {
    int* count;
    bool eventFilter(QObject*, QEvent* e) override {
      if (e->type() == QEvent::Paint) ++*count;
      return false;
    }
  } counter;
  counter.count = &painted;
  window().canvas().installEventFilter(&counter);
  element("life", 1).setVisible(false);
  ASSERT_TRUE(eventually([&] { return painted > 0; }));
  EXPECT_TRUE(holding());
  window().canvas().removeEventFilter(&counter);
}

}  // namespace
}  // namespace tilerush::testing
