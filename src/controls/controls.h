// What the front ends turn into the game's own keys and clicks: a pointer or a finger
// over the board, a gamepad, and the player leaving. The game knows only the arrows,
// P and its push buttons, and each of these reaches it as them, at the clock's present
// instant, so a game steered any of these ways replays like any other.
#pragma once

#include <cstdint>
#include <optional>

#include "game/ids.h"
#include "game/paced_game.h"

namespace tilerush {

enum class Steer { None, Left, Right };

// A stick held less far than this share of its travel from the centre steers nothing:
// a pad at rest seldom reads exactly 0.
inline constexpr double kStickDeadZone = 0.3;
// The direction an axis from -1 (left) to 1 (right) steers.
Steer stickSteer(double axis);

// A point in the game area, in twips from its top-left corner.
struct GamePoint {
  double x = 0;
  double y = 0;
};

class Controls {
 public:
  // Looks at the game after every catch-up of `game`'s clock.
  explicit Controls(PacedGame& game);
  Controls(const Controls&) = delete;
  Controls& operator=(const Controls&) = delete;
  ~Controls();

  // Each of these first brings the game up to real instant `realNs`.

  // A key of the keyboard, given as it is. A key-down takes over from the pointer
  // until the pointer moves again.
  void key(bool down, int code, std::int64_t realNs);
  // The pointer, a mouse or a finger, is at `at`; none once it has left the game area
  // or been lifted. Over the board, the paddle goes to it.
  void pointerAt(std::optional<GamePoint> at, std::int64_t realNs);
  // A pad's d-pad or stick holds `steer` now; only changes count.
  void padSteers(Steer steer, std::int64_t realNs);
  // Start: P while no push button is shown, otherwise a click on the shown one.
  void padStart(std::int64_t realNs);
  // A, the bottom face button: a click on the shown push button.
  void padA(std::int64_t realNs);
  // The player went elsewhere (the window or the page lost the keyboard): what the
  // controls hold is let go, and play that runs pauses as if P had been pressed. In
  // the pause after a lost ball, the P waits for the pause's end, and is given only
  // if play then runs. The front end lets go of its own held keys first.
  void playerLeft(std::int64_t realNs);

  Steer held() const { return held_; }

 private:
  enum class Holder { None, Pointer, Pad };

  void look();
  void hold(Steer steer);
  void pressAgainAfterAPaddleTick();
  Steer pointerSteer() const;
  bool overBoard(const GamePoint& at) const;
  bool playRuns() const;
  std::optional<ButtonId> shownButton() const;
  void pressP();
  bool ready() const;

  PacedGame& game_;
  Session& session_;
  Holder holder_ = Holder::None;
  Steer held_ = Steer::None;
  Steer pad_ = Steer::None;
  std::optional<double> pointerX_;
  // The paddle ticks counted when the paddle was last seen going the held way.
  std::uint64_t paddleTicksSeen_ = 0;
  bool leftDuringHold_ = false;
  Hook looking_;
};

}  // namespace tilerush
