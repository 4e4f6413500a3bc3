// SDL's controller events, turned into steering and the two buttons the game uses.
#include "app/gamepads.h"

#include <SDL.h>

#include <cstdio>

namespace tilerush {

Gamepads::Gamepads() {
  // SDL's own signal handlers would take Ctrl+C and SIGTERM from the window.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  // Without a window of SDL's, every pad event is the player's, focus or not.
  SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
  available_ = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
  if (!available_) std::fprintf(stderr, "tilerush: no gamepads: %s\n", SDL_GetError());
}

Gamepads::~Gamepads() {
  if (!available_) return;
  for (auto& [instance, pad] : pads_) SDL_GameControllerClose(pad);
  SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

void Gamepads::poll(stage::Stage& stage, std::int64_t realNs) {
  if (!available_) return;
  SDL_PumpEvents();
  // Every event is taken off the queue, so that the joystick events SDL also makes
  // for each pad never pile up; only the controller's own are looked at.
  SDL_Event event;
  while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0) {
    handle(event, stage, realNs);
  }
}

void Gamepads::handle(const SDL_Event& event, stage::Stage& stage, std::int64_t realNs) {
  switch (event.type) {
    case SDL_CONTROLLERDEVICEADDED:
      open(event.cdevice.which);
      break;
    case SDL_CONTROLLERDEVICEREMOVED:
      close(event.cdevice.which);
      // What a pad pulled out held is let go with it.
      stage.padSteers(Steer::None, realNs);
      break;
    case SDL_CONTROLLERBUTTONDOWN:
      if (event.cbutton.button == SDL_CONTROLLER_BUTTON_START) stage.padStart(realNs);
      if (event.cbutton.button == SDL_CONTROLLER_BUTTON_A) stage.padA(realNs);
      [[fallthrough]];
    case SDL_CONTROLLERBUTTONUP:
    case SDL_CONTROLLERAXISMOTION:
      // The pad last handled steers: with two in hand, the one touched last.
      if (auto pad =
              pads_.find(event.type == SDL_CONTROLLERAXISMOTION ? event.caxis.which : event.cbutton.which);
          pad != pads_.end()) {
        stage.padSteers(steerOf(pad->second), realNs);
      }
      break;
    default:
      break;
  }
}

void Gamepads::open(int deviceIndex) {
  SDL_GameController* pad = SDL_GameControllerOpen(deviceIndex);
  if (!pad) return;
  const SDL_JoystickID instance = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(pad));
  // SDL may announce a pad twice (present at start-up, then its hot-plug event).
  if (!pads_.emplace(instance, pad).second) SDL_GameControllerClose(pad);
}

void Gamepads::close(std::int32_t instance) {
  auto pad = pads_.find(instance);
  if (pad == pads_.end()) return;
  SDL_GameControllerClose(pad->second);
  pads_.erase(pad);
}

// The d-pad first, as it is the deliberate one; otherwise the left stick past its
// dead zone.
Steer Gamepads::steerOf(SDL_GameController* pad) {
  const bool left = SDL_GameControllerGetButton(pad, SDL_CONTROLLER_BUTTON_DPAD_LEFT) != 0;
  const bool right = SDL_GameControllerGetButton(pad, SDL_CONTROLLER_BUTTON_DPAD_RIGHT) != 0;
  if (left != right) return left ? Steer::Left : Steer::Right;
  const Sint16 axis = SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTX);
  return stickSteer(axis / 32767.0);
}

}  // namespace tilerush
