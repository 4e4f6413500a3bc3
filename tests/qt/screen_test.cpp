// The window at other sizes: where the layout lands and how window pixels map to
// twips, the screen keys, the size kept through full screen, a restart at another
// size, the pointer's first place, and the pointer in full screen.
#include <QCursor>
#include <QEnterEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStandardPaths>
#include <QTimer>
#include <memory>

#include "app/screen_mode.h"
#include "display/qt/game_area.h"
#include "qt_game_fixture.h"

namespace tilerush::testing {
namespace {

TEST(GameArea, FitsTheWholeLayoutAtTheLargestScaleCentredAndMapsPixelsToTwipsAndBack) {
  const GameArea natural(8520, 7335);
  EXPECT_EQ(natural.naturalSize(), QSize(568, 489));
  EXPECT_EQ(natural.smallestSize(), QSize(284, 245));
  EXPECT_EQ(natural.fittedTo(QSize(568, 489)).rect(), QRect(0, 0, 568, 489));
  const GameArea twice = natural.fittedTo(QSize(1136, 978));
  EXPECT_EQ(twice.scale(), 2);
  EXPECT_EQ(twice.rect(), QRect(0, 0, 1136, 978));
  // Wide and tall screens: bars on the sides, or above and below.
  const GameArea wide = natural.fittedTo(QSize(1920, 1080));
  EXPECT_DOUBLE_EQ(wide.scale(), 1080.0 / 489);
  EXPECT_EQ(wide.rect(), QRect(333, 0, 1254, 1080));
  const GameArea tall = natural.fittedTo(QSize(600, 1000));
  EXPECT_EQ(tall.rect(), QRect(0, 241, 600, 517));

  for (const GameArea& area : {natural, twice, wide, tall}) {
    EXPECT_EQ(area.toTwips(area.rect().topLeft()), QPointF(0, 0));
    const QPointF corner =
        area.toTwips(QPointF(area.rect().topLeft()) + QPointF(area.rect().width(), area.rect().height()));
    EXPECT_NEAR(corner.x(), 8520, 15);
    EXPECT_NEAR(corner.y(), 7335, 15);
    const QPointF ball(4267.5, 6706);
    EXPECT_NEAR(area.toTwips(area.toWindow(ball)).x(), ball.x(), 1e-9);
    EXPECT_NEAR(area.toTwips(area.toWindow(ball)).y(), ball.y(), 1e-9);
    // What an element covers, scaled, never leaves out a pixel it touches.
    const QRect cell(10, 10, 3, 3);
    const QRectF exact(10 * area.scale(), 10 * area.scale(), 3 * area.scale(), 3 * area.scale());
    EXPECT_TRUE(QRectF(area.cover(cell)).contains(exact)) << area.scale();
  }
  // A push button at one and a half times its size: edges rounded to the nearest.
  EXPECT_EQ(natural.fittedTo(QSize(852, 734)).placed({2760, 4800, 3495, 975}), QRect(276, 480, 350, 98));
}

class ScreenTest : public QtGameTest {
 protected:
  void SetUp() override {
    QStandardPaths::setTestModeEnabled(true);
    QSettings(QStringLiteral("tilerush"), QStringLiteral("tilerush")).clear();
    QtGameTest::SetUp();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window()));
  }
  void TearDown() override { QSettings(QStringLiteral("tilerush"), QStringLiteral("tilerush")).clear(); }
  void sendKey(QEvent::Type type, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
               bool autoRepeat = false) {
    QKeyEvent event(type, key, modifiers, QString(), autoRepeat);
    QApplication::sendEvent(&window(), &event);
  }
  bool fullScreen() { return window().isFullScreen(); }
  // A release is held back a moment in case a press of its key follows (a held key's
  // repeat). On a busy machine the wait may end before its timer was seen to fire,
  // so the timers that fell due meanwhile are run before going on.
  static void waitPastTheHeldBackRelease() {
    QTest::qWait(50);
    QCoreApplication::processEvents();
  }
};

TEST_F(ScreenTest, F11AndAltEnterToggleOncePerPressEscapeLeavesAndTheGameHearsThemAsKeys) {
  PlayerSettings settings;
  ScreenMode screen(window(), settings);
  pressKey(Qt::Key_Right);
  ASSERT_EQ(state().paddledir, 1);
  // F11 held: its repeats toggle nothing more, and the game ignores its key-downs.
  sendKey(QEvent::KeyPress, Qt::Key_F11);
  sendKey(QEvent::KeyPress, Qt::Key_F11, Qt::NoModifier, true);
  sendKey(QEvent::KeyPress, Qt::Key_F11, Qt::NoModifier, true);
  ASSERT_TRUE(eventually([&] { return fullScreen(); }));
  EXPECT_EQ(state().paddledir, 1);
  // Its release reaches the game, which stops the paddle as at any release.
  sendKey(QEvent::KeyRelease, Qt::Key_F11);
  EXPECT_TRUE(eventually([&] { return state().paddledir == 0; }));
  EXPECT_TRUE(fullScreen());
  EXPECT_TRUE(settings.fullScreen());

  sendKey(QEvent::KeyPress, Qt::Key_Escape);
  sendKey(QEvent::KeyRelease, Qt::Key_Escape);
  ASSERT_TRUE(eventually([&] { return !fullScreen(); }));
  EXPECT_FALSE(settings.fullScreen());
  // Enter alone is only a key; with Alt held it toggles.
  sendKey(QEvent::KeyPress, Qt::Key_Return);
  sendKey(QEvent::KeyRelease, Qt::Key_Return);
  waitPastTheHeldBackRelease();
  EXPECT_FALSE(fullScreen());
  sendKey(QEvent::KeyPress, Qt::Key_Return, Qt::AltModifier);
  sendKey(QEvent::KeyRelease, Qt::Key_Return, Qt::AltModifier);
  EXPECT_TRUE(eventually([&] { return fullScreen(); }));
  // A press hard on a release of the same key would be a held key's repeat.
  waitPastTheHeldBackRelease();
  sendKey(QEvent::KeyPress, Qt::Key_Enter, Qt::AltModifier | Qt::KeypadModifier);
  sendKey(QEvent::KeyRelease, Qt::Key_Enter, Qt::AltModifier | Qt::KeypadModifier);
  EXPECT_TRUE(eventually([&] { return !fullScreen(); }));
  // The size comes back with the platform's next resize, which a busy machine delays.
  EXPECT_TRUE(eventually([&] { return window().size() == QSize(568, 489); }))
      << "leaving full screen gives the size back, not " << window().width() << "x" << window().height();
}

// A window manager that, as a window leaves full screen, hands it back a size with
// the frame it puts round it taken off, as sway does for a window opened in full screen.
class FrameEater : public QObject {
 public:
  explicit FrameEater(QWidget& window) : window_(window) { window.installEventFilter(this); }
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::WindowStateChange && !window_.isFullScreen() &&
        (static_cast<QWindowStateChangeEvent*>(event)->oldState() & Qt::WindowFullScreen)) {
      QTimer::singleShot(20, &window_, [this] { window_.resize(window_.size() - QSize(4, 27)); });
    }
    return false;
  }

 private:
  QWidget& window_;
};

TEST_F(ScreenTest, TheSizeKeptThroughFullScreenAndANewRunIsTheWindowsOwnWhateverFrameItIsGivenBackWith) {
  FrameEater eater(window());
  PlayerSettings settings;
  auto screen = std::make_unique<ScreenMode>(window(), settings);
  window().resize(696, 673);
  ASSERT_TRUE(eventually([&] { return settings.windowSize() == QSize(696, 673); }));
  for (int run = 0; run < 3; ++run) {
    // Closed in full screen, the next run opens in full screen.
    if (run > 0) screen = std::make_unique<ScreenMode>(window(), settings);
    if (run == 0) screen->toggleFullScreen();
    ASSERT_TRUE(eventually([&] { return fullScreen(); })) << "run " << run;
    QTest::qWait(100);
    screen->toggleFullScreen();
    ASSERT_TRUE(eventually([&] { return !fullScreen(); })) << "run " << run;
    QTest::qWait(600);
    EXPECT_EQ(window().size(), QSize(696, 673)) << "run " << run;
    EXPECT_EQ(settings.windowSize(), QSize(696, 673)) << "run " << run;
    screen->toggleFullScreen();
    ASSERT_TRUE(eventually([&] { return fullScreen(); })) << "run " << run;
    screen.reset();
  }
}

TEST_F(ScreenTest, AGameOverRestartKeepsTheSizeAndScaleOfTheWindowAndItsButtons) {
  window().resize(852, 734);
  ASSERT_TRUE(eventually([&] { return window().area().scale() == 1.5; }));
  state().lives = 0;
  FormProbe(game->form()).over();
  QPushButton* gameover = window().button("gameover");
  ASSERT_TRUE(gameover->isVisible());
  EXPECT_EQ(gameover->geometry(), QRect(336, 264, 242, 194));
  EXPECT_EQ(gameover->font().pixelSize(), 56);
  clickButton("gameover");

  EXPECT_EQ(window().size(), QSize(852, 734));
  EXPECT_EQ(window().area().scale(), 1.5);
  const QImage image = grab();
  // Map 1's first brick, left of its digit, and the board below the bricks, at their
  // scaled places.
  EXPECT_EQ(image.pixel(int(13.5 * 1.5), int(141.7 * 1.5)) & 0xFFFFFF, rgb(0x0000FF));
  EXPECT_EQ(image.pixel(int(284 * 1.5), int(333 * 1.5)) & 0xFFFFFF, rgb(0x80FF80));
  pressKey(Qt::Key_P);
  EXPECT_EQ(window().button("pause")->geometry(), QRect(336, 288, 242, 146));
}

// XWayland reports where a still pointer stands when a window opens over it, and
// the system's answer for where it stood before then may be stale: only a change
// from a place seen since the window opened is a move.
TEST_F(ScreenTest, ThePointersFirstReportedPlaceIsWhereItStandsAndOnlyAChangeFromItIsAMove) {
  // The system's answer, stale, as the window is made.
  QCursor::setPos(QPoint(2000, 2000));
  GameWindow opened(game->display(), QStringLiteral("opened"), 8520, 7335);
  int moves = 0;
  QObject::connect(&opened, &GameWindow::pointerMoved, [&] { ++moves; });
  Canvas& canvas = opened.canvas();
  auto report = [&](QEvent::Type type, QPointF local) {
    if (type == QEvent::Enter) {
      QEnterEvent enter(local, local, canvas.mapToGlobal(local));
      QApplication::sendEvent(&canvas, &enter);
    } else {
      QMouseEvent move(type, local, canvas.mapToGlobal(local), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
      QApplication::sendEvent(&canvas, &move);
    }
  };
  report(QEvent::Enter, QPointF(100, 400));
  report(QEvent::MouseMove, QPointF(100, 400));
  EXPECT_EQ(moves, 0) << "the place reported as the window opened was taken as a move";
  report(QEvent::MouseMove, QPointF(101, 400));
  EXPECT_EQ(moves, 1);
}

TEST_F(ScreenTest, InFullScreenThePointerHidesAfterTwoStillSecondsAndShowsAgainWhenItMoves) {
  window().showFullScreen();
  ASSERT_TRUE(eventually([&] { return fullScreen(); }));
  EXPECT_FALSE(window().pointerHidden());
  ASSERT_TRUE(eventually([&] { return window().pointerHidden(); }));
  EXPECT_EQ(window().cursor().shape(), Qt::BlankCursor);

  QMouseEvent move(QEvent::MouseMove, QPointF(300, 300), window().canvas().mapToGlobal(QPointF(300, 300)),
                   Qt::NoButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(&window().canvas(), &move);
  EXPECT_FALSE(window().pointerHidden());
  EXPECT_NE(window().cursor().shape(), Qt::BlankCursor);

  // In a window the pointer stays, however still.
  window().showNormal();
  ASSERT_TRUE(eventually([&] { return !fullScreen(); }));
  QTest::qWait(PointerHider::kStillMs + 300);
  EXPECT_FALSE(window().pointerHidden());
}

}  // namespace
}  // namespace tilerush::testing
