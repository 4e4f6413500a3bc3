// Every cue: its stated length, audible, never above its peak, and no click at
// either end; pitch where the game's meaning needs it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "sound/cues.h"

namespace tilerush::sound {
namespace {

float peakOf(const std::vector<float>& s, std::size_t from, std::size_t to) {
  float peak = 0;
  for (std::size_t i = from; i < to && i < s.size(); ++i) peak = std::max(peak, std::abs(s[i]));
  return peak;
}

double rmsOf(const std::vector<float>& s) {
  double sum = 0;
  for (float v : s) sum += static_cast<double>(v) * v;
  return std::sqrt(sum / static_cast<double>(s.size()));
}

// Pitch of a stretch of a cue, from how often it crosses zero upward.
double pitchOf(const std::vector<float>& s, int rate, std::size_t from, std::size_t to) {
  int crossings = 0;
  for (std::size_t i = from + 1; i < to; ++i) crossings += s[i - 1] < 0 && s[i] >= 0;
  return crossings * static_cast<double>(rate) / static_cast<double>(to - from);
}

std::string nameOf(Cue cue) {
  return std::to_string(static_cast<int>(cue.kind)) + "/" + std::to_string(cue.value);
}

}  // namespace

TEST(Cues, EveryCueLastsItsLengthIsHeardStaysUnderItsPeakAndStartsAndEndsInSilence) {
  for (int rate : {22050, 44100, 48000}) {
    const std::size_t ms = static_cast<std::size_t>(rate / 1000);
    for (const Cue& cue : allCues()) {
      SCOPED_TRACE(nameOf(cue) + " at " + std::to_string(rate));
      const std::vector<float> s = synthesize(cue, rate);
      const double lengthMs = cueLengthMs(cue);
      EXPECT_LE(lengthMs, 1000);
      EXPECT_EQ(s.size(), static_cast<std::size_t>(std::lround(lengthMs * rate / 1000)));
      EXPECT_LE(peakOf(s, 0, s.size()), kCuePeak);
      EXPECT_GT(rmsOf(s), 0.03) << "too quiet to hear";
      // A click is a jump at an end: each cue eases in from silence and back to it.
      EXPECT_LT(peakOf(s, 0, ms / 4), 0.05f);
      EXPECT_LT(peakOf(s, s.size() - ms / 4, s.size()), 0.05f);
      EXPECT_EQ(s.front(), 0.0f);
      EXPECT_LT(std::abs(s.back()), 0.002f);
    }
  }
}

TEST(Cues, PitchCarriesTheMeaning) {
  const int rate = 48000;
  // A harder brick sounds higher.
  double previous = 0;
  for (int value = 1; value <= 8; ++value) {
    const std::vector<float> s = synthesize({CueKind::Brick, value}, rate);
    const double pitch = pitchOf(s, rate, 0, s.size() / 2);
    EXPECT_GT(pitch, previous * 1.05) << "value " << value;
    previous = pitch;
  }
  // A lost ball falls; a cleared level rises.
  const std::vector<float> lost = synthesize({CueKind::BallLost}, rate);
  EXPECT_GT(pitchOf(lost, rate, 0, lost.size() / 4),
            2 * pitchOf(lost, rate, lost.size() * 3 / 4, lost.size()));
  const std::vector<float> level = synthesize({CueKind::LevelCleared}, rate);
  EXPECT_LT(pitchOf(level, rate, 0, level.size() / 6), pitchOf(level, rate, level.size() / 2, level.size()));
}

TEST(Cues, TheSameCueIsTheSameNumbersEveryTimeAndTheBankHoldsEachOne) {
  const CueBank bank(44100);
  for (const Cue& cue : allCues()) {
    ASSERT_TRUE(bank.samples(cue)) << nameOf(cue);
    EXPECT_EQ(*bank.samples(cue), synthesize(cue, 44100)) << nameOf(cue);
  }
  EXPECT_FALSE(bank.samples({CueKind::Brick, 12}));
  EXPECT_FALSE(bank.samples({CueKind::Wall, 3}));
}

}  // namespace tilerush::sound
