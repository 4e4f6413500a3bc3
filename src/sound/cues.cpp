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
  return {{.wave = Waveform::Triangle,
           .from = hertz,
           .to = hertz,
           .startMs = startMs,
           .lengthMs = lengthMs,
           .level = 1,
           .attackMs = 2,
           .releaseMs = 12,
           .decayMs = decayMs},
          {.wave = Waveform::Sine,
           .from = 2 * hertz,
           .to = 2 * hertz,
           .startMs = startMs,
           .lengthMs = lengthMs,
           .level = 0.3,
           .attackMs = 2,
           .releaseMs = 12,
           .decayMs = decayMs / 2}};
}

// Notes one after the other, each `spacingMs` apart; the last one rings for `lastMs`.
std::vector<Tone> phrase(std::initializer_list<int> steps, double spacingMs, double lastMs, Waveform wave) {
  std::vector<Tone> tones;
  double at = 0;
  std::size_t i = 0;
  for (int step : steps) {
    const bool last = ++i == steps.size();
    const double length = last ? lastMs : spacingMs * 1.1;
    tones.push_back({.wave = wave,
                     .from = note(step),
                     .to = note(step),
                     .startMs = at,
                     .lengthMs = length,
                     .level = 1,
                     .attackMs = 4,
                     .releaseMs = last ? 60.0 : 20.0,
                     .decayMs = last ? lastMs / 2 : 0.0});
    tones.push_back({.wave = Waveform::Sine,
                     .from = 2 * note(step),
                     .to = 2 * note(step),
                     .startMs = at,
                     .lengthMs = length,
                     .level = 0.25,
                     .attackMs = 4,
                     .releaseMs = 20,
                     .decayMs = 60});
    at += spacingMs;
  }
  return tones;
}

Design design(Cue cue) {
  switch (cue.kind) {
    case CueKind::Brick:
      return {.lengthMs = 90, .peak = 0.45f, .tones = pluck(brickPitch(cue.value), 0, 90, 40)};
    case CueKind::BrickCleared:
      return {.lengthMs = 110,
              .peak = 0.4f,
              .tones = {{.wave = Waveform::Noise,
                         .from = 6000,
                         .to = 2500,
                         .startMs = 0,
                         .lengthMs = 45,
                         .level = 0.6,
                         .attackMs = 1,
                         .releaseMs = 30,
                         .decayMs = 15},
                        {.wave = Waveform::Sine,
                         .from = 1200,
                         .to = 2400,
                         .startMs = 10,
                         .lengthMs = 100,
                         .level = 1,
                         .attackMs = 3,
                         .releaseMs = 40,
                         .decayMs = 50}}};
    case CueKind::Paddle:
      return {.lengthMs = 80,
              .peak = 0.5f,
              .tones = {{.wave = Waveform::Triangle,
                         .from = 196,
                         .to = 185,
                         .startMs = 0,
                         .lengthMs = 80,
                         .level = 1,
                         .attackMs = 2,
                         .releaseMs = 25,
                         .decayMs = 35},
                        {.wave = Waveform::Square,
                         .from = 392,
                         .to = 370,
                         .startMs = 0,
                         .lengthMs = 50,
                         .level = 0.25,
                         .attackMs = 2,
                         .releaseMs = 20,
                         .decayMs = 15}}};
    case CueKind::Wall:
      return {.lengthMs = 35,
              .peak = 0.22f,
              .tones = {{.wave = Waveform::Sine,
                         .from = 1320,
                         .to = 1250,
                         .startMs = 0,
                         .lengthMs = 35,
                         .level = 1,
                         .attackMs = 1.5,
                         .releaseMs = 15,
                         .decayMs = 12}}};
    case CueKind::Ceiling:
      return {.lengthMs = 45,
              .peak = 0.25f,
              .tones = {{.wave = Waveform::Sine,
                         .from = 1760,
                         .to = 1650,
                         .startMs = 0,
                         .lengthMs = 45,
                         .level = 1,
                         .attackMs = 1.5,
                         .releaseMs = 18,
                         .decayMs = 15}}};
    case CueKind::CeilingWear:
      return {.lengthMs = 130,
              .peak = 0.35f,
              .tones = {{.wave = Waveform::Square,
                         .from = note(14),
                         .to = note(14),
                         .startMs = 0,
                         .lengthMs = 55,
                         .level = 1,
                         .attackMs = 2,
                         .releaseMs = 15,
                         .decayMs = 0},
                        {.wave = Waveform::Square,
                         .from = note(9),
                         .to = note(9),
                         .startMs = 60,
                         .lengthMs = 70,
                         .level = 1,
                         .attackMs = 2,
                         .releaseMs = 30,
                         .decayMs = 40}}};
    case CueKind::SpecialStands:
      return {.lengthMs = 140,
              .peak = 0.4f,
              .tones = {{.wave = Waveform::Sine,
                         .from = 660,
                         .to = 660,
                         .startMs = 0,
                         .lengthMs = 140,
                         .level = 1,
                         .attackMs = 1.5,
                         .releaseMs = 40,
                         .decayMs = 50},
                        {.wave = Waveform::Sine,
                         .from = 1043,
                         .to = 1043,
                         .startMs = 0,
                         .lengthMs = 140,
                         .level = 0.8,
                         .attackMs = 1.5,
                         .releaseMs = 40,
                         .decayMs = 35},
                        {.wave = Waveform::Sine,
                         .from = 1587,
                         .to = 1587,
                         .startMs = 0,
                         .lengthMs = 100,
                         .level = 0.4,
                         .attackMs = 1.5,
                         .releaseMs = 30,
                         .decayMs = 20}}};
    case CueKind::SpecialTurns:
      return {.lengthMs = 140,
              .peak = 0.4f,
              .tones = {{.wave = Waveform::Triangle,
                         .from = 1400,
                         .to = brickPitch(cue.value),
                         .startMs = 0,
                         .lengthMs = 140,
                         .level = 1,
                         .attackMs = 3,
                         .releaseMs = 40,
                         .decayMs = 0}}};
    case CueKind::SpecialVanishes:
      return {.lengthMs = 180,
              .peak = 0.4f,
              .tones = {{.wave = Waveform::Sine,
                         .from = 600,
                         .to = 2400,
                         .startMs = 0,
                         .lengthMs = 170,
                         .level = 1,
                         .attackMs = 4,
                         .releaseMs = 50,
                         .decayMs = 0},
                        {.wave = Waveform::Noise,
                         .from = 9000,
                         .to = 9000,
                         .startMs = 60,
                         .lengthMs = 120,
                         .level = 0.3,
                         .attackMs = 20,
                         .releaseMs = 60,
                         .decayMs = 40}}};
    case CueKind::CounterToOne:
      return {.lengthMs = 300, .peak = 0.4f, .tones = phrase({16, 16, 23}, 90, 120, Waveform::Square)};
    case CueKind::BallLost:
      return {.lengthMs = 620,
              .peak = 0.5f,
              .tones = {{.wave = Waveform::Triangle,
                         .from = 660,
                         .to = 110,
                         .startMs = 0,
                         .lengthMs = 620,
                         .level = 1,
                         .attackMs = 4,
                         .releaseMs = 120,
                         .decayMs = 0},
                        {.wave = Waveform::Square,
                         .from = 660,
                         .to = 110,
                         .startMs = 0,
                         .lengthMs = 620,
                         .level = 0.2,
                         .attackMs = 4,
                         .releaseMs = 120,
                         .decayMs = 300}}};
    case CueKind::ExtraLife:
      return {.lengthMs = 380, .peak = 0.4f, .tones = phrase({27, 31, 34, 39}, 70, 170, Waveform::Triangle)};
    case CueKind::LevelCleared:
      return {.lengthMs = 700, .peak = 0.45f, .tones = phrase({3, 7, 10, 15}, 120, 340, Waveform::Triangle)};
    case CueKind::GameOver:
      return {
          .lengthMs = 1000, .peak = 0.45f, .tones = phrase({-2, -5, -9, -21}, 200, 400, Waveform::Triangle)};
    case CueKind::NewGame:
      return {.lengthMs = 260, .peak = 0.4f, .tones = phrase({10, 15}, 100, 160, Waveform::Triangle)};
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
