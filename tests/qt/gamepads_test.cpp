// A pad, SDL's virtual joystick, steers the window's game through the class the
// window uses: found when plugged in, its d-pad and stick steer, Start pauses, A
// clicks the button shown, and pulled out it lets go. The game replays exactly.
#include <SDL.h>

#include <sstream>
#include <string>

#include "app/gamepads.h"
#include "qt_game_fixture.h"
#include "sim/recorder.h"
#include "sim/runner.h"

namespace tilerush::testing {
namespace {

// A pad with every button and axis a game controller has, plugged in while it lives.
class VirtualPad {
 public:
  VirtualPad() {
    SDL_VirtualJoystickDesc desc{};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = SDL_CONTROLLER_AXIS_MAX;
    desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    desc.button_mask = (1u << SDL_CONTROLLER_BUTTON_MAX) - 1;
    desc.axis_mask = (1u << SDL_CONTROLLER_AXIS_MAX) - 1;
    desc.name = "Test pad";
    const int index = SDL_JoystickAttachVirtualEx(&desc);
    joystick_ = index < 0 ? nullptr : SDL_JoystickOpen(index);
  }
  ~VirtualPad() { unplug(); }
  bool plugged() const { return joystick_ != nullptr; }
  void button(SDL_GameControllerButton button, bool down) {
    SDL_JoystickSetVirtualButton(joystick_, button, down ? 1 : 0);
  }
  void leftStick(Sint16 x) { SDL_JoystickSetVirtualAxis(joystick_, SDL_CONTROLLER_AXIS_LEFTX, x); }
  void unplug() {
    if (!joystick_) return;
    const SDL_JoystickID id = SDL_JoystickInstanceID(joystick_);
    SDL_JoystickClose(joystick_);
    joystick_ = nullptr;
    for (int i = 0; i < SDL_NumJoysticks(); ++i) {
      if (SDL_JoystickGetDeviceInstanceID(i) == id) SDL_JoystickDetachVirtual(i);
    }
  }

 private:
  SDL_Joystick* joystick_ = nullptr;
};

class Pads : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(pads.available()) << SDL_GetError();
    game.session().setInputLog(&recorder);
    game.usePads(pads);
    game.open();
  }
  float paddleLeft() { return game.display().find("paddle")->bounds().left; }
  bool shown(ButtonId button) { return game.form().element(button).visible(); }
  // Held until the game shows it has seen the press, then let go. SDL makes a virtual
  // pad's events from its state at each poll, so a press shorter than the time between
  // two of the game's wake-ups (long on a busy machine) would never be seen at all.
  template <typename Seen>
  bool press(VirtualPad& pad, SDL_GameControllerButton button, Seen seen) {
    pad.button(button, true);
    const bool wasSeen = eventually(seen);
    pad.button(button, false);
    QTest::qWait(60);
    return wasSeen;
  }

  QtGame game{[] { return std::uint64_t{7}; }};
  std::string recorded;
  sim::Recorder recorder{game.session(), [this](std::string_view lines) { recorded += lines; }, "test",
                         "today"};
  Gamepads pads;
};

TEST_F(Pads, APadPluggedInSteersPausesGoesOnAndLetsGoWhenPulledOutAndTheGameReplays) {
  VirtualPad pad;
  ASSERT_TRUE(pad.plugged()) << SDL_GetError();
  ASSERT_TRUE(eventually([&] { return pads.attached() == 1; })) << "the pad plugged in was not found";

  const float start = paddleLeft();
  pad.button(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, true);
  EXPECT_TRUE(eventually([&] { return paddleLeft() > start + 1000; })) << "the d-pad did not steer";
  pad.button(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, false);
  EXPECT_TRUE(eventually([&] { return game.controls().held() == Steer::None; }));

  // The stick steers past its dead zone, and a stick come back near the centre lets go.
  pad.leftStick(-20000);
  EXPECT_TRUE(eventually([&] { return game.controls().held() == Steer::Left; }));
  pad.leftStick(-5000);
  EXPECT_TRUE(eventually([&] { return game.controls().held() == Steer::None; }));

  // Start pauses; A clicks the Pause button shown, and play goes on.
  const auto paused = [&] { return shown(ButtonId::Pause); };
  EXPECT_TRUE(press(pad, SDL_CONTROLLER_BUTTON_START, paused)) << "Start did not pause";
  const auto goesOn = [&] { return !shown(ButtonId::Pause); };
  EXPECT_TRUE(press(pad, SDL_CONTROLLER_BUTTON_A, goesOn)) << "A did not click Pause";

  // Pulled out while it steers, the pad lets go of the arrow it held.
  pad.leftStick(30000);
  ASSERT_TRUE(eventually([&] { return game.controls().held() == Steer::Right; }));
  pad.unplug();
  EXPECT_TRUE(eventually([&] { return pads.attached() == 0; })) << "the pad pulled out was kept";
  EXPECT_EQ(game.controls().held(), Steer::None);

  game.catchUp();
  std::istringstream replay(recorded + recorder.closing());
  std::ostringstream out, err;
  EXPECT_EQ(sim::runScript(replay, out, err), 0) << err.str() << recorded;
  EXPECT_NE(recorded.find("key down 80"), std::string::npos) << "Start reached the game as P";
  EXPECT_NE(recorded.find("click pause"), std::string::npos) << "A reached the game as a click";
}

}  // namespace
}  // namespace tilerush::testing
