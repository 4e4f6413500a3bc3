// Keys reach the game as its own codes, a held key as repeated key-downs and one key-up.
#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <string>
#include <vector>

#include "display/qt/key_codes.h"
#include "display/qt/key_translator.h"
#include "qt_game_fixture.h"

namespace tilerush::testing {
namespace {

TEST(KeyCodes, ArrowsPLettersAndDigitsHaveTheGameCodesAndNoOtherKeyPassesForThem) {
  EXPECT_EQ(gameKeyCode(Qt::Key_Left), 37);
  EXPECT_EQ(gameKeyCode(Qt::Key_Right), 39);
  EXPECT_EQ(gameKeyCode(Qt::Key_P), 80);
  EXPECT_EQ(gameKeyCode(Qt::Key_A), 'A');
  EXPECT_EQ(gameKeyCode(Qt::Key_Z), 'Z');
  EXPECT_EQ(gameKeyCode(Qt::Key_0), '0');
  EXPECT_EQ(gameKeyCode(Qt::Key_9), '9');
  EXPECT_EQ(gameKeyCode(Qt::Key_Up), 38);
  EXPECT_EQ(gameKeyCode(Qt::Key_Space), 32);
  EXPECT_EQ(gameKeyCode(Qt::Key_F1), 112);
  // As characters these are 37, 39 and 80 and must not steer or pause.
  for (int key : {int(Qt::Key_Percent), int(Qt::Key_Apostrophe)}) {
    const int code = gameKeyCode(key);
    EXPECT_NE(code, 37) << key;
    EXPECT_NE(code, 39) << key;
    EXPECT_NE(code, 80) << key;
  }
  for (int key = 0x20; key <= 0xFF; ++key) {
    if (key == Qt::Key_P) continue;
    EXPECT_TRUE(gameKeyCode(key) != 37 && gameKeyCode(key) != 39 && gameKeyCode(key) != 80) << key;
  }
  EXPECT_GE(gameKeyCode(Qt::Key_Adiaeresis), 0);
  EXPECT_LE(gameKeyCode(Qt::Key_unknown), 0xFFFF);
  EXPECT_EQ(gameShiftState(Qt::ShiftModifier | Qt::AltModifier), 5);
}

struct KeyLog {
  std::vector<std::string> events;
  KeyTranslator::DownSink down() {
    return [this](int code, int, bool repeat) {
      events.push_back((repeat ? "repeat " : "down ") + std::to_string(code));
    };
  }
  KeyTranslator::KeySink up() {
    return [this](int code, int) { events.push_back("up " + std::to_string(code)); };
  }
};

QKeyEvent keyEvent(QEvent::Type type, Qt::Key key, bool autoRepeat = false) {
  return QKeyEvent(type, key, Qt::NoModifier, QString(), autoRepeat);
}

TEST(KeyTranslator, HeldKeyIsRepeatedKeyDownsWithOneKeyUpAtTheRealRelease) {
  KeyLog log;
  // Long enough that the test never outruns it.
  KeyTranslator keys(log.down(), log.up(), 60000);
  keys.press(keyEvent(QEvent::KeyPress, Qt::Key_Right));
  // A repeat pair flagged as such.
  keys.release(keyEvent(QEvent::KeyRelease, Qt::Key_Right, true));
  keys.press(keyEvent(QEvent::KeyPress, Qt::Key_Right, true));
  // A repeat pair that came without the flag.
  keys.release(keyEvent(QEvent::KeyRelease, Qt::Key_Right));
  keys.press(keyEvent(QEvent::KeyPress, Qt::Key_Right));
  EXPECT_EQ(log.events, (std::vector<std::string>{"down 39", "repeat 39", "repeat 39"}));

  // The real release waits out the hold-back.
  keys.release(keyEvent(QEvent::KeyRelease, Qt::Key_Right));
  EXPECT_TRUE(keys.releasePending());
  EXPECT_EQ(log.events.size(), 3u);
  keys.flush();
  EXPECT_EQ(log.events.back(), "up 39");
}

TEST(KeyTranslator, AnotherKeyDeliversAHeldBackReleaseFirst) {
  KeyLog log;
  KeyTranslator keys(log.down(), log.up(), 60000);
  keys.press(keyEvent(QEvent::KeyPress, Qt::Key_Right));
  keys.release(keyEvent(QEvent::KeyRelease, Qt::Key_Right));
  keys.press(keyEvent(QEvent::KeyPress, Qt::Key_Left));
  keys.release(keyEvent(QEvent::KeyRelease, Qt::Key_Left));
  keys.release(keyEvent(QEvent::KeyRelease, Qt::Key_P));
  EXPECT_EQ(log.events, (std::vector<std::string>{"down 39", "up 39", "down 37", "up 37"}));
}

TEST(KeyTranslator, ReleaseArrivesOnItsOwnOnceTheHoldBackEnds) {
  KeyLog log;
  KeyTranslator keys(log.down(), log.up(), 5);
  keys.press(keyEvent(QEvent::KeyPress, Qt::Key_Left));
  keys.release(keyEvent(QEvent::KeyRelease, Qt::Key_Left));
  ASSERT_TRUE(eventually([&] { return log.events.size() == 2u; }));
  EXPECT_EQ(log.events.back(), "up 37");
}

using WindowKeys = QtGameTest;

TEST_F(WindowKeys, ArrowKeysSetTheDirectionAndThePaddleMovesAtTheNextTick) {
  const float served = element("paddle").left();
  pressKey(Qt::Key_Right);
  EXPECT_EQ(state().paddledir, 1);
  EXPECT_EQ(element("paddle").left(), served);
  tick(TimerId::Timer1);
  EXPECT_FLOAT_EQ(element("paddle").left(), served + 207.375f);

  pressKey(Qt::Key_Left);
  EXPECT_EQ(state().paddledir, 2);
  tick(TimerId::Timer1);
  EXPECT_FLOAT_EQ(element("paddle").left(), served);

  releaseKey(Qt::Key_Left);
  ASSERT_TRUE(eventually([&] { return state().paddledir == 0.0; }));
}

TEST_F(WindowKeys, PShowsPauseWhereTheLayoutPutsItAndFreezesPlay) {
  pressKey(Qt::Key_Right);
  tick(TimerId::Timer1);
  tick(TimerId::Timer2);  // launches the ball
  const Rect paddle = element("paddle").bounds();
  const Rect ball = element("ball").bounds();

  pressKey(Qt::Key_P);
  QPushButton* pause = window().button("pause");
  ASSERT_NE(pause, nullptr);
  EXPECT_TRUE(pause->isVisible());
  EXPECT_EQ(pause->geometry(), QRect(224, 192, 161, 97));
  EXPECT_EQ(pause->text(), "Pause");
  EXPECT_FALSE(running(TimerId::Timer1));
  EXPECT_FALSE(running(TimerId::Timer2));
  EXPECT_TRUE(running(TimerId::Timer3));

  // Real time passes with the right arrow still held: nothing moves.
  QTest::qWait(150);
  EXPECT_EQ(element("paddle").left(), paddle.left);
  EXPECT_EQ(element("ball").left(), ball.left);
  EXPECT_EQ(element("ball").top(), ball.top);
}

// Where there is no X server to say so first (here, Qt's offscreen platform), Qt's own
// focus-out is the player leaving: the held arrow is let go and play pauses.
// Focus moving between the window's own widgets is not leaving.
TEST_F(WindowKeys, LosingTheKeyboardToAnotherWindowLetsGoOfTheArrowAndPauses) {
  pressKey(Qt::Key_Right);
  tick(TimerId::Timer1);
  ASSERT_TRUE(running(TimerId::Timer2));
  QFocusEvent inside(QEvent::FocusOut, Qt::TabFocusReason);
  QApplication::sendEvent(&window(), &inside);
  EXPECT_TRUE(running(TimerId::Timer2)) << "a focus change inside the window paused";

  pressKey(Qt::Key_Right);
  QFocusEvent away(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
  QApplication::sendEvent(&window(), &away);
  EXPECT_EQ(state().paddledir, 0.0);
  EXPECT_TRUE(window().button("pause")->isVisible());
}

}  // namespace
}  // namespace tilerush::testing
