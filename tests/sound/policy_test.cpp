// From happenings to what is heard: the cue each one asks for, bursts thinned out,
// and a mix that never clips and goes quiet without a click.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <utility>

#include "hearing/cue_for.h"
#include "sound/mixer.h"

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

TEST(CueFor, EveryHappeningHasACueOfItsOwnAndValuedOnesCarryTheirBrick) {
  // The join is one to one: no two happenings sound alike, and every cue kind the
  // sound can make is asked for by some happening.
  std::set<CueKind> kinds;
  for (int h = 0; h <= static_cast<int>(H::NewGame); ++h) {
    const auto cue =
        cueFor(static_cast<H>(h), 1, 1) ? cueFor(static_cast<H>(h), 1, 1) : cueFor(static_cast<H>(h), 9, 4);
    ASSERT_TRUE(cue) << "happening " << h << " is never heard";
    EXPECT_TRUE(kinds.insert(cue->kind).second) << "happening " << h << " sounds like another";
  }
  EXPECT_EQ(kinds.size(), static_cast<std::size_t>(CueKind::NewGame) + 1);
  // A strike sounds the value struck, a special brick's turn the value it became:
  // each of 1..9 its own pitch.
  for (int value = 1; value <= 8; ++value) {
    EXPECT_EQ(cueFor(H::BrickStruck, value, value - 1), (Cue{CueKind::Brick, value}));
    EXPECT_EQ(cueFor(H::SpecialTurns, 9, value), (Cue{CueKind::SpecialTurns, value}));
  }
  // A struck special brick is heard through its outcome alone, and values a script
  // may plant out of range ask for nothing rather than a wrong cue.
  for (const auto& [before, after] : {std::pair{9.0, 4.0}, {40.0, 39.0}, {-3.0, -4.0}, {2.5e9, 0.0}}) {
    EXPECT_EQ(cueFor(H::BrickStruck, before, after), std::nullopt) << before;
  }
  EXPECT_EQ(cueFor(H::SpecialTurns, 9, 0), std::nullopt);
}

TEST(CuePolicy, ABurstOfStrikesIsThinnedToOneACueKindEveryFewMillisecondsAndAFewVoices) {
  CuePolicy policy;
  // Three ticks fired at once by a late wake-up: only the first strike is heard.
  EXPECT_TRUE(hear(policy, H::BrickStruck, 1, 0, 1000));
  EXPECT_FALSE(hear(policy, H::BrickStruck, 2, 1, 1000));
  EXPECT_FALSE(hear(policy, H::BrickStruck, 1, 0, 1000 + CuePolicy::kRepeatGapMs - 1));
  // One tick later, the next strike is heard again, as are other kinds meanwhile.
  EXPECT_TRUE(hear(policy, H::BrickCleared, 0, 10, 1001));
  EXPECT_TRUE(hear(policy, H::BrickStruck, 1, 0, 1025));
  EXPECT_TRUE(hear(policy, H::LevelCleared, 0, 2, 1026));
  ASSERT_EQ(CuePolicy::kMaxVoices, 4);
  EXPECT_FALSE(hear(policy, H::WallBounce, 0, 0, 1027)) << "a fifth voice";
  // Once the short ones have ended there is room again; the level's phrase still sounds.
  EXPECT_TRUE(hear(policy, H::WallBounce, 0, 0, 1200));
  EXPECT_TRUE(hear(policy, H::PaddleBounce, 0, 0, 1200));
  EXPECT_TRUE(hear(policy, H::CeilingBounce, 0, 0, 1200));
  EXPECT_FALSE(hear(policy, H::CeilingWear, 0, 0, 1201)) << "the phrase and three others";
  EXPECT_TRUE(hear(policy, H::CeilingWear, 0, 0, 1300));
  policy.clear();
  EXPECT_TRUE(hear(policy, H::CeilingWear, 0, 0, 1301));
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
