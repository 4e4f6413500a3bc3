// Waveforms, glides and envelopes, added sample by sample into a cue's buffer.
#include "sound/synth.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace tilerush::sound {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2 * kPi;
// However short a note, it rises and falls over at least this long, or it clicks.
constexpr double kShortestEaseMs = 1.5;

// A smooth rise from 0 to 1 over `span`; 1 beyond it. Starting and ending on a flat
// slope is what keeps a note from clicking.
double easeIn(double t, double span) {
  if (span <= 0 || t >= span) return 1;
  if (t <= 0) return 0;
  return 0.5 - 0.5 * std::cos(kPi * t / span);
}

// A fixed sequence: a noisy cue sounds the same every time it plays.
struct NoiseSource {
  std::uint32_t state = 0x2545F491u;
  double next() {
    state = state * 1664525u + 1013904223u;
    return static_cast<double>(state >> 8) / static_cast<double>(1u << 23) - 1;
  }
};

// One waveform cycle, read at `phase` in [0, 1).
double cycle(Waveform wave, double phase, double hertz, int sampleRate) {
  switch (wave) {
    case Waveform::Sine:
      return std::sin(kTwoPi * phase);
    case Waveform::Triangle: {
      const double p = phase + 0.25 >= 1 ? phase - 0.75 : phase + 0.25;
      return 4 * std::abs(p - 0.5) - 1;
    }
    case Waveform::Square: {
      double sum = 0;
      for (int k = 1; k <= 7 && k * hertz < sampleRate / 2.0; k += 2) sum += std::sin(kTwoPi * k * phase) / k;
      return sum;
    }
    case Waveform::Noise:
      break;
  }
  return 0;
}

}  // namespace

void addTone(std::vector<float>& samples, int sampleRate, const Tone& tone) {
  const double rate = sampleRate;
  const auto first = static_cast<std::ptrdiff_t>(std::lround(tone.startMs * rate / 1000));
  const auto count = static_cast<std::ptrdiff_t>(std::lround(tone.lengthMs * rate / 1000));
  const double length = count / rate;
  const double attack = std::min(std::max(tone.attackMs, kShortestEaseMs) / 1000, length / 2);
  const double release = std::min(std::max(tone.releaseMs, kShortestEaseMs) / 1000, length - attack);
  const double ratio = tone.to / tone.from;
  NoiseSource noise;
  double phase = 0, held = noise.next(), target = noise.next();
  for (std::ptrdiff_t n = 0; n < count; ++n) {
    const std::ptrdiff_t at = first + n;
    if (at < 0) continue;
    if (at >= static_cast<std::ptrdiff_t>(samples.size())) break;
    const double t = n / rate;
    const double hertz = tone.from * std::pow(ratio, t / length);
    double value;
    if (tone.wave == Waveform::Noise) {
      // Noise stepped at the tone's pitch, each step eased into the next.
      value = held + (target - held) * phase;
    } else {
      value = cycle(tone.wave, phase, hertz, sampleRate);
    }
    phase += hertz / rate;
    if (phase >= 1) {
      phase -= std::floor(phase);
      held = target;
      target = noise.next();
    }
    double envelope = easeIn(t, attack) * easeIn(length - t, release);
    if (tone.decayMs > 0) envelope *= std::exp(-t * 1000 / tone.decayMs);
    samples[static_cast<std::size_t>(at)] += static_cast<float>(tone.level * envelope * value);
  }
}

void scaleToPeak(std::vector<float>& samples, float peak) {
  float largest = 0;
  for (float s : samples) largest = std::max(largest, std::abs(s));
  if (largest == 0) return;
  const float gain = peak / largest;
  for (float& s : samples) s *= gain;
}

}  // namespace tilerush::sound
