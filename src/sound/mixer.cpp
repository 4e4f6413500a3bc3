// Voices summed sample by sample, a mute fade, and a soft limit at the top.
#include "sound/mixer.h"

#include <algorithm>
#include <cmath>

namespace tilerush::sound {
namespace {

constexpr float kKnee = 0.7f;
constexpr double kMuteFadeMs = 8;

}  // namespace

float bendTowardsFullScale(float sum) {
  const float size = std::abs(sum);
  if (size <= kKnee) return sum;
  const float bent = kKnee + (1 - kKnee) * std::tanh((size - kKnee) / (1 - kKnee));
  // Kept strictly below full scale in float too.
  return std::copysign(std::min(bent, 0.999f), sum);
}

Mixer::Mixer(int sampleRate) : gainStep_(static_cast<float>(1000 / (kMuteFadeMs * sampleRate))) {}

void Mixer::start(std::shared_ptr<const std::vector<float>> samples) {
  if (muted_ || !samples || samples->empty() || voices_.size() >= kMaxVoices) return;
  voices_.push_back({std::move(samples), 0});
}

void Mixer::setMuted(bool muted) { muted_ = muted; }

void Mixer::render(float* out, std::size_t frames) {
  for (std::size_t i = 0; i < frames; ++i) {
    float sum = 0;
    for (Voice& v : voices_) {
      if (v.next < v.samples->size()) sum += (*v.samples)[v.next++];
    }
    gain_ = muted_ ? std::max(0.0f, gain_ - gainStep_) : std::min(1.0f, gain_ + gainStep_);
    out[i] = bendTowardsFullScale(sum * gain_);
  }
  std::erase_if(voices_, [](const Voice& v) { return v.next >= v.samples->size(); });
  // Once faded out, what was sounding is dropped, so that unmuting starts afresh.
  if (muted_ && gain_ == 0) voices_.clear();
}

}  // namespace tilerush::sound
