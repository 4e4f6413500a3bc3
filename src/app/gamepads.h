// Gamepads through SDL's game-controller API: found when plugged in, let go when
// pulled out, their d-pad, left stick, Start and A given to the stage.
#pragma once

#include <cstdint>
#include <map>

#include "controls/controls.h"
#include "stage/stage.h"

typedef struct _SDL_GameController SDL_GameController;
union SDL_Event;

namespace tilerush {

// SDL sees a pad come or go only while its events are pumped, so poll() must be
// called often, and the game's own wake-ups (40 a second in play, and paused) are
// often enough: no timer of its own, and nothing else of SDL (no window, no sound).
class Gamepads {
 public:
  Gamepads();
  ~Gamepads();
  Gamepads(const Gamepads&) = delete;
  Gamepads& operator=(const Gamepads&) = delete;

  // False where SDL could not start its game-controller part: then no pad steers.
  bool available() const { return available_; }
  std::size_t attached() const { return pads_.size(); }

  // Takes in what the pads did since the last poll, and gives it to `stage` at real
  // instant `realNs` (which lets it reach the player's game, or not).
  void poll(stage::Stage& stage, std::int64_t realNs);

 private:
  void handle(const SDL_Event& event, stage::Stage& stage, std::int64_t realNs);
  void open(int deviceIndex);
  void close(std::int32_t instance);
  static Steer steerOf(SDL_GameController* pad);

  bool available_ = false;
  // Open pads by SDL's instance id.
  std::map<std::int32_t, SDL_GameController*> pads_;
};

}  // namespace tilerush
