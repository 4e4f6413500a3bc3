// From happenings to what is heard: the cue each one asks for, bursts thinned out,
// and a mix that never clips and goes quiet without a click.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "sound/mixer.h"
#include "sound/policy.h"

namespace tilerush::sound {
namespace {

using H = Happening;

// The largest jump between neighbouring samples: a click shows as a big one.
float largestStep(const std::vector<float>& s) {
  float step = 0;
  for (std::size_t i = 1; i < s.size(); ++i) step = std::max(step, std::abs(s[i] - s[i - 1]));
  return step;
}

std::vector<float> render(Mixer& mixer, std::size_t frames) {
  std::vector<float> out(frames);
  mixer.render(out.data(), frames);
  return out;
}

}  // namespace

TEST(CuePolicy, EachHappeningAsksForItsCueAndASpecialStrikeIsHeardOnlyThroughItsOutcome) {
  EXPECT_EQ(cueFor(H::BrickStruck, 3, 2), (Cue{CueKind::Brick, 3}));
  EXPECT_EQ(cueFor(H::BrickStruck, 9, 4), std::nullopt);
  EXPECT_EQ(cueFor(H::SpecialTurns, 9, 4), (Cue{CueKind::SpecialTurns, 4}));
  EXPECT_EQ(cueFor(H::SpecialStands, 9, 9), (Cue{CueKind::SpecialStands}));
  EXPECT_EQ(cueFor(H::BallLost, 0, 0), (Cue{CueKind::BallLost}));
  EXPECT_EQ(cueFor(H::NewGame, 0, 0), (Cue{CueKind::NewGame}));
  // Values a script may plant out of range ask for nothing rather than a wrong cue.
  EXPECT_EQ(cueFor(H::BrickStruck, 40, 39), std::nullopt);
  EXPECT_EQ(cueFor(H::BrickStruck, -3, -4), std::nullopt);
  // Every happening a game can tell is heard somehow.
  for (int h = 0; h <= static_cast<int>(H::NewGame); ++h) {
    EXPECT_TRUE(cueFor(static_cast<H>(h), 1, 1) || cueFor(static_cast<H>(h), 9, 4)) << h;
  }
}

TEST(CuePolicy, ABurstOfStrikesIsThinnedToOneACueKindEveryFewMillisecondsAndAFewVoices) {
  CuePolicy policy;
  // Three ticks fired at once by a late wake-up: only the first strike is heard.
  EXPECT_TRUE(policy.hear(H::BrickStruck, 1, 0, 1000));
  EXPECT_FALSE(policy.hear(H::BrickStruck, 2, 1, 1000));
  EXPECT_FALSE(policy.hear(H::BrickStruck, 1, 0, 1000 + CuePolicy::kRepeatGapMs - 1));
  // One tick later, the next strike is heard again, as are other kinds meanwhile.
  EXPECT_TRUE(policy.hear(H::BrickCleared, 0, 10, 1001));
  EXPECT_TRUE(policy.hear(H::BrickStruck, 1, 0, 1025));
  EXPECT_TRUE(policy.hear(H::LevelCleared, 0, 2, 1026));
  ASSERT_EQ(CuePolicy::kMaxVoices, 4);
  EXPECT_FALSE(policy.hear(H::WallBounce, 0, 0, 1027)) << "a fifth voice";
  // Once the short ones have ended there is room again; the level's phrase still sounds.
  EXPECT_TRUE(policy.hear(H::WallBounce, 0, 0, 1200));
  EXPECT_TRUE(policy.hear(H::PaddleBounce, 0, 0, 1200));
  EXPECT_TRUE(policy.hear(H::CeilingBounce, 0, 0, 1200));
  EXPECT_FALSE(policy.hear(H::CeilingWear, 0, 0, 1201)) << "the phrase and three others";
  EXPECT_TRUE(policy.hear(H::CeilingWear, 0, 0, 1300));
  policy.clear();
  EXPECT_TRUE(policy.hear(H::CeilingWear, 0, 0, 1301));
}

TEST(Mixer, ACueAloneComesOutAsMadeAndAnyPileOfThemStaysBelowFullScale) {
  const int rate = 48000;
  const CueBank bank(rate);
  Mixer mixer(rate);
  const auto brick = bank.samples({CueKind::Brick, 5});
  mixer.start(brick);
  EXPECT_EQ(render(mixer, brick->size()), *brick);
  EXPECT_TRUE(mixer.idle());

  // More loud cues at once than the policy would ever let through.
  for (int i = 0; i < 20; ++i) mixer.start(bank.samples({CueKind::Paddle}));
  float peak = 0;
  for (float s : render(mixer, rate / 10)) peak = std::max(peak, std::abs(s));
  EXPECT_LT(peak, 1.0f);
  EXPECT_GT(peak, 0.7f);
  EXPECT_EQ(bendTowardsFullScale(0.5f), 0.5f);
  EXPECT_LT(bendTowardsFullScale(-100.0f), -0.99f);
  EXPECT_GT(bendTowardsFullScale(-100.0f), -1.0f);
}

TEST(Mixer, MutingFadesOutWithoutAClickAndStartsNothingUntilUnmuted) {
  const int rate = 48000;
  const CueBank bank(rate);
  Mixer mixer(rate);
  mixer.start(bank.samples({CueKind::LevelCleared}));
  std::vector<float> out = render(mixer, rate / 10);
  mixer.setMuted(true);
  const std::vector<float> fading = render(mixer, rate / 50);
  out.insert(out.end(), fading.begin(), fading.end());
  EXPECT_LT(largestStep(out), 0.1f);
  EXPECT_TRUE(mixer.idle()) << "what was sounding is dropped once faded out";
  EXPECT_EQ(fading.back(), 0.0f);

  mixer.start(bank.samples({CueKind::Brick, 1}));
  EXPECT_TRUE(mixer.idle());
  mixer.setMuted(false);
  mixer.start(bank.samples({CueKind::Brick, 1}));
  const std::vector<float> after = render(mixer, rate / 10);
  EXPECT_GT(*std::max_element(after.begin(), after.end()), 0.2f);
}

}  // namespace tilerush::sound
