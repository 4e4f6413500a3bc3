// Mixes the cues that are sounding into one stream of samples, without clipping.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

namespace tilerush::sound {

// Not thread-safe: whoever shares one between threads locks around every call.
class Mixer {
 public:
  // More voices than the cue policy lets through at once, as a guard only.
  static constexpr std::size_t kMaxVoices = 8;

  explicit Mixer(int sampleRate);

  // Starts a cue's samples from their beginning; dropped when kMaxVoices sound.
  void start(std::shared_ptr<const std::vector<float>> samples);
  // Muting fades out what sounds over a few milliseconds (a cut would click), then
  // drops it; nothing new is started while muted.
  void setMuted(bool muted);
  bool muted() const { return muted_; }
  // Nothing sounds and nothing is fading.
  bool idle() const { return voices_.empty(); }

  // Fills `frames` mono samples, always in (-1, 1): a sum that grows too loud is
  // bent smoothly towards full scale instead of being cut off.
  void render(float* out, std::size_t frames);

 private:
  struct Voice {
    std::shared_ptr<const std::vector<float>> samples;
    std::size_t next = 0;
  };

  float gainStep_;  // the change of the mute gain per sample
  float gain_ = 1;
  bool muted_ = false;
  std::vector<Voice> voices_;
};

// The soft limit itself: the identity up to 0.7, then a tanh knee that never reaches 1.
float bendTowardsFullScale(float sum);

}  // namespace tilerush::sound
