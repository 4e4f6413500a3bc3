// Assistive technology sees the window and its buttons by their captions and can press them.
#include <QAccessible>
#include <QAccessibleActionInterface>

#include "qt_game_fixture.h"

namespace tilerush::testing {
namespace {

using Accessibility = QtGameTest;

// Presses a button the way a screen reader does.
void pressThroughAccessibility(QPushButton* button) {
  QAccessibleInterface* face = QAccessible::queryAccessibleInterface(button);
  ASSERT_NE(face, nullptr);
  ASSERT_NE(face->actionInterface(), nullptr);
  ASSERT_TRUE(face->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
  face->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
}

QString accessibleName(QWidget* widget) {
  return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
}

TEST_F(Accessibility, WindowAndButtonsAreNamedByTheirCaptionsAndButtonsCanBePressed) {
  EXPECT_EQ(accessibleName(&window()), "Tilerush!");

  pressKey(Qt::Key_P);
  QPushButton* pause = window().button("pause");
  EXPECT_EQ(accessibleName(pause), "Pause");
  EXPECT_EQ(QAccessible::queryAccessibleInterface(pause)->role(), QAccessible::Button);
  pressThroughAccessibility(pause);
  ASSERT_TRUE(eventually([&] { return !pause->isVisible(); }));
  EXPECT_TRUE(running(TimerId::Timer2));

  FormProbe(game->form()).nextlvl();
  QPushButton* next = window().button("nextlevel");
  EXPECT_EQ(accessibleName(next), "Level: 2");
  pressThroughAccessibility(next);
  // The press lands a moment later, as a click animates.
  ASSERT_TRUE(eventually([&] { return !next->isVisible(); }));
  EXPECT_EQ(state().lives, 4);

  state().lives = 0;
  FormProbe(game->form()).over();
  QPushButton* gameover = window().button("gameover");
  EXPECT_EQ(accessibleName(gameover), "Game Over");
  ASSERT_TRUE(gameover->isVisible());
  pressThroughAccessibility(gameover);
  ASSERT_TRUE(eventually([&] { return state().lives == 3; }));
  EXPECT_EQ(state().mapno, 1);
}

TEST_F(Accessibility, AHiddenButtonPressedThroughAccessibilityDoesNothing) {
  pressThroughAccessibility(window().button("gameover"));
  QTest::qWait(300);
  EXPECT_EQ(state().lives, 3);
  EXPECT_EQ(element("showscore").caption(), "000000");
  EXPECT_TRUE(running(TimerId::Timer1));
  EXPECT_FALSE(window().button("gameover")->isVisible());
}

}  // namespace
}  // namespace tilerush::testing

namespace tilerush::testing {
namespace {

TEST_F(Accessibility, ScoreBestScoreLivesAndBricksAreReadAsTextThatFollowsTheGame) {
  QAccessibleInterface* canvas = QAccessible::queryAccessibleInterface(&window().canvas());
  ASSERT_NE(canvas, nullptr);
  auto read = [&] {
    QStringList texts;
    for (int i = 0; i < canvas->childCount(); ++i) texts << canvas->child(i)->text(QAccessible::Name);
    return texts;
  };
  EXPECT_EQ(read(), (QStringList{"Score: 000000", "Best score: 000000", "Lives: 3", "Bricks left: 120"}));
  EXPECT_EQ(canvas->child(0)->role(), QAccessible::StaticText);

  FormProbe(game->form()).score(41, 1, 3, 0, -1);  // a red brick struck and cleared
  FormProbe(game->form()).lostlife();
  ASSERT_TRUE(eventually([&] { return !holding(); }));
  EXPECT_EQ(read(), (QStringList{"Score: 000010", "Best score: 000010", "Lives: 2", "Bricks left: 119"}));
}

}  // namespace
}  // namespace tilerush::testing
