// Playing the real window with real key presses and clicks.
#include <cstdlib>

#include "game_on_xvfb.h"

namespace tilerush::e2e {
namespace {

constexpr int kServeCentre = 284;
constexpr int kRightLimitCentre = 526;  // paddle left 7379 twips, width 1036

// Each blank picture part of the Pause button, and just outside it on both sides.
void expectPauseButtonShown(const Frame& frame, bool shown) {
  // The layout puts it at 224, 192, 161 x 97 pixels.
  EXPECT_EQ(buttonFaceAt(frame, 228, 196), shown);
  EXPECT_EQ(buttonFaceAt(frame, 380, 284), shown);
  EXPECT_FALSE(buttonFaceAt(frame, 221, 240));
  EXPECT_FALSE(buttonFaceAt(frame, 388, 240));
}

using RealPlay = GameOnXvfb;

TEST_F(RealPlay, HoldingRightLaunchesTheBallAndCarriesThePaddleToTheLimitUntilReleased) {
  keyDown("Right");
  // Held well past the keyboard's repeat delay, the key keeps the paddle going.
  std::vector<Sight> seen;
  Sight sight = lookUntil([&](const Sight& s) {
    seen.push_back(s);
    return s.paddleCentre >= kRightLimitCentre;
  });
  pause(600);
  const Sight held = lookNow();
  keyUp("Right");
  ASSERT_EQ(sight.livesShown, 3) << "the ball was lost before the paddle got there";
  EXPECT_EQ(sight.paddleCentre, kRightLimitCentre);
  for (std::size_t i = 1; i < seen.size(); ++i) EXPECT_GE(seen[i].paddleCentre, seen[i - 1].paddleCentre);
  ASSERT_TRUE(sight.ballCentre);
  EXPECT_LT(sight.ballCentre->second, kBallRestRow) << "the ball left the paddle";
  if (held.livesShown == 3) {
    EXPECT_EQ(held.paddleCentre, kRightLimitCentre);
  }

  // A short press to the left, released: the paddle stops where it got to. A ball
  // lost meanwhile re-serves it to the centre; then the step is tried again.
  for (int attempt = 0; attempt < 3; ++attempt) {
    const Sight before = lookNow();
    keyDown("Left");
    lookUntil([&](const Sight& s) { return s.paddleCentre <= *before.paddleCentre - 40; });
    keyUp("Left");
    pause(250);
    const Sight a = lookNow();
    pause(300);
    const Sight b = lookNow();
    if (a.livesShown != before.livesShown || b.livesShown != a.livesShown) continue;
    EXPECT_LT(a.paddleCentre, before.paddleCentre);
    EXPECT_EQ(a.paddleCentre, b.paddleCentre) << "the paddle stopped at the release";
    return;
  }
  FAIL() << "a ball was lost at every try";
}

TEST_F(RealPlay, PFreezesPaddleAndBallAndShowsPauseWhereTheLayoutPutsIt) {
  expectPauseButtonShown(grab(), false);
  keyDown("Right");
  lookUntil([](const Sight& s) { return s.ballCentre && s.ballCentre->second < kBallRestRow - 30; });
  tap("p");
  keyUp("Right");
  pause(250);
  const Frame frozen = grab();
  pause(400);
  const Frame later = grab();
  expectPauseButtonShown(frozen, true);
  const Sight a = look(frozen), b = look(later);
  EXPECT_NE(a.paddleCentre, kServeCentre);
  EXPECT_EQ(a.paddleCentre, b.paddleCentre);
  EXPECT_EQ(a.ballCentre, b.ballCentre);
}

TEST_F(RealPlay, ArrowKeysReachTheGameWhileAButtonShowsAndAClickOnPauseResumesWherePlayStopped) {
  keyDown("Right");
  lookUntil([](const Sight& s) { return s.ballCentre && s.ballCentre->second < kBallRestRow - 30; });
  keyUp("Right");
  tap("p");
  pause(250);
  const Sight paused = lookNow();
  ASSERT_TRUE(paused.ballCentre && paused.paddleCentre);

  // One key-down and no repeats, while the button shows: the paddle can only move
  // on resuming if that one key-down reached the game.
  // The pointer goes onto the button first: over the board it steers, until the key
  // takes over, and the click itself moves nothing.
  x_->setAutoRepeat(false);
  xdotool({"mousemove", "--window", windowId(), "300", "240"});
  keyDown("Left");
  pause(100);
  const Sight stillPaused = lookNow();
  xdotool({"click", "1"});
  const Sight resumed = lookUntil([&](const Sight& s) { return s.paddleCentre < *paused.paddleCentre - 20; });
  keyUp("Left");
  x_->setAutoRepeat(true);

  EXPECT_EQ(stillPaused.paddleCentre, paused.paddleCentre);
  EXPECT_EQ(stillPaused.ballCentre, paused.ballCentre);
  EXPECT_LT(resumed.paddleCentre, *paused.paddleCentre - 20) << "the key-down did not reach the game";
  expectPauseButtonShown(grab(), false);
  // The ball goes on from where it stopped, in flight, not served again.
  ASSERT_TRUE(resumed.ballCentre);
  EXPECT_NEAR(resumed.ballCentre->first, paused.ballCentre->first, 100);
  EXPECT_NEAR(resumed.ballCentre->second, paused.ballCentre->second, 100);
  EXPECT_EQ(resumed.livesShown, 3);
}

// The window opens at the screen's corner, under a pointer already over the board:
// the place reported as it opens is where the pointer stands, not a move, so the
// ball waits on the paddle until the pointer really moves.
class StillPointer : public GameOnXvfb {
 protected:
  void SetUp() override {}
};

TEST_F(StillPointer, AWindowOpenedUnderAStillPointerLaunchesNothingUntilThePointerMoves) {
  pointerAtStart_ = std::make_pair(400, 400);
  start({});
  const Sight opened = lookNow();
  pause(1500);
  const Sight still = lookNow();
  EXPECT_EQ(still.paddleCentre, kServeCentre) << "the paddle went to a pointer that did not move";
  ASSERT_TRUE(still.ballCentre);
  EXPECT_NEAR(still.ballCentre->second, kBallRestRow, 1)
      << "the ball was launched by a pointer that did not move";
  EXPECT_EQ(opened.paddleCentre, still.paddleCentre);

  xdotool({"mousemove", "420", "400"});
  const Sight moved =
      lookUntil([](const Sight& s) { return s.paddleCentre && std::abs(*s.paddleCentre - 420) <= 8; });
  EXPECT_NEAR(moved.paddleCentre.value_or(0), 420, 8) << "the pointer's real move did not steer the paddle";
}

}  // namespace
}  // namespace tilerush::e2e
