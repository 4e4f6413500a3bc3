// How much of the window the canvas repaints, summed from its paint events: a sliver
// per tick in play, at scale 1 as at twice the size, and nothing but the title box
// while the game is paused.
#include <gtest/gtest.h>

#include <QPaintEvent>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "app/qt_game.h"

namespace tilerush::testing {
namespace {

// Every region the canvas is asked to paint, seen from outside it.
class PaintLog : public QObject {
 public:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) regions.push_back(static_cast<QPaintEvent*>(event)->region());
    return false;
  }

  double pixels() const {
    double total = 0;
    for (const QRegion& region : regions) {
      for (const QRect& r : region) total += double(r.width()) * r.height();
    }
    return total;
  }

  std::vector<QRegion> regions;
};

// The pixels an element covers, with one to spare all round for antialiased edges.
QRect pixelsAround(const Rect& twips) {
  return QRect(QPoint(int(std::floor(twips.left / kTwipsPerPixel)) - 1,
                      int(std::floor(twips.top / kTwipsPerPixel)) - 1),
               QPoint(int(std::ceil((twips.left + twips.width) / kTwipsPerPixel)),
                      int(std::ceil((twips.top + twips.height) / kTwipsPerPixel))));
}

class RepaintedArea : public ::testing::Test {
 protected:
  void SetUp() override {
    game = std::make_unique<QtGame>([] { return std::uint64_t{11}; });
    game->open();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window()));
    QTest::qWait(50);
  }
  void TearDown() override { window().canvas().removeEventFilter(&log); }

  GameWindow& window() { return game->window(); }
  const Element& element(const char* name) { return *game->display().find(name); }
  void startLogging() {
    log.regions.clear();
    window().canvas().installEventFilter(&log);
  }

  // Keeps the paddle going, always towards the ball, as a player holding the arrow
  // keys would: the paddle never rests, and a served ball goes up at once.
  void steerTowardsTheBall() {
    const Element& ball = element("ball");
    const Element& paddle = element("paddle");
    const double ballCentre = ball.left() + ball.width() / 2.0;
    const double paddleCentre = paddle.left() + paddle.width() / 2.0;
    QTest::keyPress(&window(), ballCentre < paddleCentre ? Qt::Key_Left : Qt::Key_Right);
  }

  double shareInPlay();

  std::unique_ptr<QtGame> game;
  PaintLog log;
};

// Four seconds of play with bricks struck: the average share of the canvas repainted
// per ball tick.
double RepaintedArea::shareInPlay() {
  int ballTicks = 0;
  game->session().watchEvents([&](GameEvent event, std::string_view name) {
    if (event == GameEvent::Tick && name == "Timer2") ++ballTicks;
  });
  // A player's hands, between the game's ticks.
  QTimer hands;
  QObject::connect(&hands, &QTimer::timeout, &log, [&] {
    if (!game->session().holding()) steerTowardsTheBall();
  });
  hands.start(25);
  startLogging();
  // Four seconds of play, whatever the machine's speed, and bricks struck in them.
  EXPECT_TRUE(QTest::qWaitFor([&] { return ballTicks >= 160 && game->form().state().points >= 30; }, 60000));
  const QSize canvas = window().canvas().size();
  return log.pixels() / std::max(ballTicks, 1) / (double(canvas.width()) * canvas.height());
}

TEST_F(RepaintedArea, InPlayEachTickRepaintsUnderThreePercentOfTheWindowOnAverage) {
  const double share = shareInPlay();
  EXPECT_LT(share, 0.03) << log.regions.size() << " paints";
  EXPECT_GT(share, 0) << "the ball and the paddle were seen to move";
}

TEST_F(RepaintedArea, AtTwiceTheSizeEachTickInPlayRepaintsAsSmallAShare) {
  window().resize(1136, 978);
  ASSERT_TRUE(QTest::qWaitFor([&] { return window().canvas().width() == 1136; }, 5000));
  QTest::qWait(50);
  const double share = shareInPlay();
  EXPECT_LT(share, 0.03) << log.regions.size() << " paints";
  EXPECT_GT(share, 0) << "the ball and the paddle were seen to move";
}

TEST_F(RepaintedArea, APausedGameRepaintsTheTitleBoxAndNothingElse) {
  QTest::keyClick(&window(), Qt::Key_P);
  ASSERT_TRUE(element("pause").visible());
  // The Pause button's own paint and the held-back key release come first.
  QTest::qWait(100);
  startLogging();
  // A second of the title balls' 50 ms ticks.
  QTest::qWait(1000);

  const QRect titleBox = pixelsAround(element("logobox").bounds());
  EXPECT_GE(log.regions.size(), 5u) << "the title balls go on moving";
  for (const QRegion& region : log.regions) {
    EXPECT_TRUE(titleBox.contains(region.boundingRect()))
        << region.boundingRect().x() << "," << region.boundingRect().y() << " "
        << region.boundingRect().width() << "x" << region.boundingRect().height();
  }
}

}  // namespace
}  // namespace tilerush::testing
