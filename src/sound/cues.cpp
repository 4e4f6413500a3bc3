// What each cue is made of: a few tones, a length and a loudness.
#include "sound/cues.h"

#include <algorithm>
#include <cmath>

#include "sound/synth.h"

namespace tilerush::sound {
namespace {

// Pitch of the note `steps` semitones above (or below) A 440.
double note(int steps) { return 440 * std::pow(2.0, steps / 12.0); }

// A brick's pitch rises a whole tone with each point of value: 1 is C5, 8 is D6.
double brickPitch(int value) { return note(3 + 2 * (value - 1)); }

bool hasValue(CueKind kind) { return kind == CueKind::Brick || kind == CueKind::SpecialTurns; }

struct Design {
  double lengthMs;
  float peak;  // loudness relative to the others: wall ticks soft, phrases full
  std::vector<Tone> tones;
};

// A short plucked note: a triangle with a soft octave above it.
std::vector<Tone> pluck(double hertz, double startMs, double lengthMs, double decayMs) {
  return {{Waveform::Triangle, hertz, hertz, startMs, lengthMs, 1, 2, 12, decayMs},
          {Waveform::Sine, 2 * hertz, 2 * hertz, startMs, lengthMs, 0.3, 2, 12, decayMs / 2}};
}

// Notes one after the other, each `spacingMs` apart; the last one rings for `lastMs`.
std::vector<Tone> phrase(std::initializer_list<int> steps, double spacingMs, double lastMs, Waveform wave) {
  std::vector<Tone> tones;
  double at = 0;
  std::size_t i = 0;
  for (int step : steps) {
    const bool last = ++i == steps.size();
    const double length = last ? lastMs : spacingMs * 1.1;
    tones.push_back(
        {wave, note(step), note(step), at, length, 1, 4, last ? 60.0 : 20.0, last ? lastMs / 2 : 0.0});
    tones.push_back({Waveform::Sine, 2 * note(step), 2 * note(step), at, length, 0.25, 4, 20, 60});
    at += spacingMs;
  }
  return tones;
}

Design design(Cue cue) {
  switch (cue.kind) {
    case CueKind::Brick:
      return {90, 0.45f, pluck(brickPitch(cue.value), 0, 90, 40)};
    case CueKind::BrickCleared:
      return {110,
              0.4f,
              {{Waveform::Noise, 6000, 2500, 0, 45, 0.6, 1, 30, 15},
               {Waveform::Sine, 1200, 2400, 10, 100, 1, 3, 40, 50}}};
    case CueKind::Paddle:
      return {80,
              0.5f,
              {{Waveform::Triangle, 196, 185, 0, 80, 1, 2, 25, 35},
               {Waveform::Square, 392, 370, 0, 50, 0.25, 2, 20, 15}}};
    case CueKind::Wall:
      return {35, 0.22f, {{Waveform::Sine, 1320, 1250, 0, 35, 1, 1.5, 15, 12}}};
    case CueKind::Ceiling:
      return {45, 0.25f, {{Waveform::Sine, 1760, 1650, 0, 45, 1, 1.5, 18, 15}}};
    case CueKind::CeilingWear:
      return {130,
              0.35f,
              {{Waveform::Square, note(14), note(14), 0, 55, 1, 2, 15, 0},
               {Waveform::Square, note(9), note(9), 60, 70, 1, 2, 30, 40}}};
    case CueKind::SpecialStands:
      return {140,
              0.4f,
              {{Waveform::Sine, 660, 660, 0, 140, 1, 1.5, 40, 50},
               {Waveform::Sine, 1043, 1043, 0, 140, 0.8, 1.5, 40, 35},
               {Waveform::Sine, 1587, 1587, 0, 100, 0.4, 1.5, 30, 20}}};
    case CueKind::SpecialTurns:
      return {140, 0.4f, {{Waveform::Triangle, 1400, brickPitch(cue.value), 0, 140, 1, 3, 40, 0}}};
    case CueKind::SpecialVanishes:
      return {180,
              0.4f,
              {{Waveform::Sine, 600, 2400, 0, 170, 1, 4, 50, 0},
               {Waveform::Noise, 9000, 9000, 60, 120, 0.3, 20, 60, 40}}};
    case CueKind::CounterToOne:
      return {300, 0.4f, phrase({16, 16, 23}, 90, 120, Waveform::Square)};
    case CueKind::BallLost:
      return {620,
              0.5f,
              {{Waveform::Triangle, 660, 110, 0, 620, 1, 4, 120, 0},
               {Waveform::Square, 660, 110, 0, 620, 0.2, 4, 120, 300}}};
    case CueKind::ExtraLife:
      return {380, 0.4f, phrase({27, 31, 34, 39}, 70, 170, Waveform::Triangle)};
    case CueKind::LevelCleared:
      return {700, 0.45f, phrase({3, 7, 10, 15}, 120, 340, Waveform::Triangle)};
    case CueKind::GameOver:
      return {1000, 0.45f, phrase({-2, -5, -9, -21}, 200, 400, Waveform::Triangle)};
    case CueKind::NewGame:
      return {260, 0.4f, phrase({10, 15}, 100, 160, Waveform::Triangle)};
  }
  return {0, 0, {}};
}

}  // namespace

double cueLengthMs(Cue cue) { return design(cue).lengthMs; }

std::vector<float> synthesize(Cue cue, int sampleRate) {
  const Design d = design(cue);
  std::vector<float> samples(static_cast<std::size_t>(std::lround(d.lengthMs * sampleRate / 1000)));
  for (const Tone& tone : d.tones) addTone(samples, sampleRate, tone);
  scaleToPeak(samples, d.peak);
  return samples;
}

std::vector<Cue> allCues() {
  std::vector<Cue> cues;
  for (int k = 0; k <= static_cast<int>(CueKind::NewGame); ++k) {
    const auto kind = static_cast<CueKind>(k);
    if (!hasValue(kind)) cues.push_back({kind, 0});
    for (int value = 1; hasValue(kind) && value <= 9; ++value) cues.push_back({kind, value});
  }
  return cues;
}

int cueNumber(Cue cue) {
  static const std::vector<Cue> cues = allCues();
  return static_cast<int>(std::find(cues.begin(), cues.end(), cue) - cues.begin());
}

CueBank::CueBank(int sampleRate) : sampleRate_(sampleRate) {
  for (const Cue& cue : allCues()) {
    cues_[cue] = std::make_shared<const std::vector<float>>(synthesize(cue, sampleRate));
  }
}

std::shared_ptr<const std::vector<float>> CueBank::samples(Cue cue) const {
  auto it = cues_.find(cue);
  return it == cues_.end() ? nullptr : it->second;
}

}  // namespace tilerush::sound
