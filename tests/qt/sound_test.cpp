// The window's sound glue without a sound device: M toggles once a press, is kept in
// the settings, and still reaches the game like any other key.
#include <QKeyEvent>
#include <QSettings>
#include <QStandardPaths>

#include "app/game_sound.h"
#include "qt_game_fixture.h"

namespace tilerush::testing {
namespace {

class WindowSound : public QtGameTest {
 protected:
  void SetUp() override {
    // Settings go to a test location, and no sound server is to be found.
    QStandardPaths::setTestModeEnabled(true);
    qputenv("PULSE_SERVER", "unix:/nonexistent/tilerush-test");
    storedMuted().remove("sound");
    QtGameTest::SetUp();
  }
  static QSettings storedMuted() { return QSettings(QStringLiteral("tilerush"), QStringLiteral("tilerush")); }
  void sendKey(QEvent::Type type, Qt::Key key, bool autoRepeat) {
    QKeyEvent event(type, key, Qt::NoModifier, QString(), autoRepeat);
    QApplication::sendEvent(&window(), &event);
  }
};

TEST_F(WindowSound, MTogglesOncePerPressKeepsTheChoiceAndItsReleaseStillStopsThePaddle) {
  PlayerSettings settings;
  GameSound sound(settings, true);
  sound.attach(*game);
  EXPECT_TRUE(sound.muted());
  EXPECT_FALSE(storedMuted().contains("sound/muted")) << "--mute alone stores nothing";

  pressKey(Qt::Key_Right);
  ASSERT_EQ(state().paddledir, 1);
  // M pressed and held: repeated key-downs toggle once, and the game ignores them.
  sendKey(QEvent::KeyPress, Qt::Key_M, false);
  sendKey(QEvent::KeyPress, Qt::Key_M, true);
  sendKey(QEvent::KeyPress, Qt::Key_M, true);
  EXPECT_FALSE(sound.muted());
  EXPECT_EQ(state().paddledir, 1);
  EXPECT_EQ(storedMuted().value("sound/muted").toBool(), false);
  // Its release reaches the game, which stops the paddle as at any release.
  sendKey(QEvent::KeyRelease, Qt::Key_M, false);
  EXPECT_TRUE(eventually([&] { return state().paddledir == 0; }));

  // No sound server: the game plays on without sound.
  EXPECT_TRUE(eventually([&] { return !sound.playing(); }));
  sendKey(QEvent::KeyPress, Qt::Key_M, false);
  sendKey(QEvent::KeyRelease, Qt::Key_M, false);
  EXPECT_TRUE(sound.muted());
  EXPECT_TRUE(GameSound(settings, false).muted()) << "the next run starts as the player left it";
}

}  // namespace
}  // namespace tilerush::testing
