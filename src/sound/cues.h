// The game's sound cues: what each one is, how long it lasts, and its samples.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <utility>
#include <vector>

namespace tilerush::sound {

enum class CueKind : std::uint8_t {
  Brick,  // value: the struck brick's value, which sets the pitch
  BrickCleared,
  Paddle,
  Wall,
  Ceiling,
  CeilingWear,
  SpecialStands,
  SpecialTurns,  // value: what the special brick became, which sets where it lands
  SpecialVanishes,
  CounterToOne,
  BallLost,
  ExtraLife,
  LevelCleared,
  GameOver,
  NewGame,
};

struct Cue {
  CueKind kind = CueKind::Brick;
  int value = 0;  // 1..9 for the kinds that have one, else 0
  friend bool operator==(const Cue&, const Cue&) = default;
  friend bool operator<(const Cue& a, const Cue& b) {
    return std::pair(a.kind, a.value) < std::pair(b.kind, b.value);
  }
};

// The loudest any cue gets: a few of them together still leave the mixer headroom.
inline constexpr float kCuePeak = 0.5f;

// How long the cue lasts; its samples never run past it.
double cueLengthMs(Cue cue);

// The cue as mono samples in [-kCuePeak, kCuePeak] at `sampleRate` hertz: exactly
// its length, rising from and falling back to silence so that it never clicks.
// The window and the page make their cues with this same code, so they sound alike.
std::vector<float> synthesize(Cue cue, int sampleRate);

// Every cue the game can ask for, each value of the valued kinds included.
std::vector<Cue> allCues();
// The cue's place in allCues(): how the page names a cue between its threads.
int cueNumber(Cue cue);

// Every cue made once, up front, at one sample rate, and shared by whoever plays it.
class CueBank {
 public:
  explicit CueBank(int sampleRate);
  int sampleRate() const { return sampleRate_; }
  // The samples of `cue`; null for a cue that does not exist (a value out of range).
  std::shared_ptr<const std::vector<float>> samples(Cue cue) const;

 private:
  int sampleRate_;
  std::map<Cue, std::shared_ptr<const std::vector<float>>> cues_;
};

}  // namespace tilerush::sound
