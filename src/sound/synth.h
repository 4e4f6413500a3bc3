// The few waveforms and envelopes the game's sound cues are made of.
#pragma once

#include <cstdint>
#include <vector>

namespace tilerush::sound {

enum class Waveform : std::uint8_t {
  Sine,
  Triangle,
  Square,  // its first odd harmonics only: round enough not to buzz or alias
  Noise,   // a fixed pseudo-random sequence, the same every time
};

// One note or sweep inside a cue. Times in milliseconds from the cue's start; the
// pitch glides exponentially from `from` to `to` hertz over the note's length.
struct Tone {
  Waveform wave = Waveform::Sine;
  double from = 440;
  double to = 440;
  double startMs = 0;
  double lengthMs = 100;
  double level = 1;       // relative loudness within the cue
  double attackMs = 3;    // rise from silence
  double releaseMs = 10;  // fall back to silence, ending with the note
  double decayMs = 0;     // exponential fade while it sounds; 0 for none
};

// Adds one tone into `samples` (a buffer at `sampleRate` that starts at the cue's
// start); the part of the tone past the buffer's end is cut off.
void addTone(std::vector<float>& samples, int sampleRate, const Tone& tone);

// Scales the buffer so that its largest magnitude is `peak`; silence stays silent.
void scaleToPeak(std::vector<float>& samples, float peak);

}  // namespace tilerush::sound
