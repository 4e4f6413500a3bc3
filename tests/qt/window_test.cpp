// What the window shows, how it repaints, its fonts and its timers.
#include <QFontInfo>
#include <QPaintEvent>
#include <QTimer>

#include "display/qt/fonts.h"
#include "qt_game_fixture.h"

namespace tilerush::testing {
namespace {

using Window = QtGameTest;

constexpr QRgb kRed = 0xFF0000;
constexpr QRgb kFace = 0xF0F0F0;

TEST_F(Window, OpensAtTheLayoutSizeWithItsCaptionAndShrinksToHalfOfIt) {
  EXPECT_EQ(window().size(), QSize(568, 489));
  EXPECT_EQ(window().minimumSize(), QSize(284, 245));
  EXPECT_EQ(window().windowTitle(), "Tilerush!");
  EXPECT_EQ(window().accessibleName(), "Tilerush!");
}

// A brick's colour, away from the digit written at the middle of its top.
QRgb brickColour(const QImage& image, int column, int row) {
  return pixelAt(image, 120 + (column - 0.8) * 414.75, 1560 + (row - 0.5) * 226.2);
}

TEST_F(Window, ShowsBoardBricksPaddleBallAndLifeMarkersWhereTheModelPutsThem) {
  const QImage image = grab();
  EXPECT_EQ(pixelAt(image, 4260, 5000), rgb(0x80FF80)) << "board";
  // Map 1: a frame of 1s, a frame of 2s inside it, and bars of 3s.
  EXPECT_EQ(brickColour(image, 1, 3), rgb(0x0000FF));
  EXPECT_EQ(brickColour(image, 20, 12), rgb(0x0000FF));
  EXPECT_EQ(brickColour(image, 3, 5), rgb(0x0040C0));
  EXPECT_EQ(brickColour(image, 5, 7), rgb(0x008080));
  EXPECT_EQ(brickColour(image, 2, 4), rgb(0x80FF80)) << "an empty cell shows the board";
  EXPECT_EQ(centreOf(image, element("paddle")), rgb(0x0080FF));
  EXPECT_EQ(centreOf(image, element("ball")), rgb(0xFF0000));
  for (int life = 1; life <= 3; ++life) EXPECT_EQ(centreOf(image, element("life", life)), kRed) << life;
  for (int life = 4; life <= 6; ++life) EXPECT_EQ(centreOf(image, element("life", life)), kFace) << life;
}

TEST_F(Window, ShowsTheModelAgainAfterItChanges) {
  element("paddle").setLeft(120);
  element("life", 2).setVisible(false);
  element("brick", 41).setBackColor(0x00FF00);
  const QImage image = grab();
  EXPECT_EQ(pixelAt(image, 400, 6850), rgb(0x0080FF));
  EXPECT_EQ(centreOf(image, element("life", 2)), kFace);
  EXPECT_EQ(brickColour(image, 1, 3), rgb(0x00FF00));
}

// Collects the regions the canvas is asked to paint.
class PaintLog : public QObject {
 public:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) regions.push_back(static_cast<QPaintEvent*>(event)->region());
    return false;
  }
  std::vector<QRegion> regions;
};

long area(const QRegion& region) {
  long total = 0;
  for (const QRect& r : region) total += long(r.width()) * r.height();
  return total;
}

TEST_F(Window, RepaintsOnlyWhatChangedAfterAnEvent) {
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window()));
  QTest::qWait(50);
  PaintLog log;
  window().canvas().installEventFilter(&log);
  const Rect before = element("paddle").bounds();
  pressKey(Qt::Key_Right);
  tick(TimerId::Timer1);
  const Rect after = element("paddle").bounds();
  ASSERT_TRUE(eventually([&] { return !log.regions.empty(); }));

  const QRegion& painted = log.regions.front();
  const QRect oldPaddle(int(before.left / kTwipsPerPixel), int(before.top / kTwipsPerPixel),
                        int(before.width / kTwipsPerPixel), 10);
  const QRect newPaddle(int(after.left / kTwipsPerPixel), int(after.top / kTwipsPerPixel),
                        int(after.width / kTwipsPerPixel), 10);
  EXPECT_TRUE((QRegion(oldPaddle) - painted).isEmpty());
  EXPECT_TRUE((QRegion(newPaddle) - painted).isEmpty());
  // Paddle, ball and title balls move at most: a sliver of the window.
  for (const QRegion& region : log.regions) EXPECT_LT(area(region), 568 * 489 / 10);
  window().canvas().removeEventFilter(&log);
}

TEST_F(Window, TimerAtIntervalZeroNeverFiresAndAPositiveIntervalRestartsIt) {
  state().paddledir = 1;
  element("Timer1").setInterval(0);
  const float still = element("paddle").left();
  QTest::qWait(150);
  EXPECT_EQ(element("paddle").left(), still);

  element("Timer1").setInterval(kPlayTickMs);
  ASSERT_TRUE(eventually([&] { return element("paddle").left() != still; }));
}

TEST(Fonts, MissingFacesTakeStandInsOfTheSameStyleAtPixelSizesOf96Dpi) {
  installFontSubstitutions();
  const QFont impact = gameFont({"Impact", 21.75, true});
  EXPECT_EQ(impact.pixelSize(), 29);
  EXPECT_TRUE(impact.bold());
  EXPECT_EQ(QFontInfo(impact).family(), "Open Sans Condensed");
  EXPECT_EQ(QFontInfo(gameFont({"Lucida Handwriting", 27.75, true})).family(), "Dancing Script");
  EXPECT_EQ(QFontInfo(gameFont({"MS Song", 24, true})).family(), "AR PL UMing CN");
  EXPECT_EQ(QFontInfo(gameFont({"Arial", 7.5, true})).family(), "Liberation Sans");
  EXPECT_EQ(gameFont({"Arial", 7.5, true}).pixelSize(), 10);
  EXPECT_EQ(QFontInfo(gameFont({"Times New Roman", 18, false})).family(), "Liberation Serif");
}

}  // namespace
}  // namespace tilerush::testing
