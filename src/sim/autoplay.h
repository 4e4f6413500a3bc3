// The automatic player: plays a scripted game from what the window shows, as a person would.
#pragma once

#include <cstdint>
#include <optional>

#include "game/session.h"

namespace tilerush::sim {

// Looks at the window every 25 ms of virtual time and acts on what it sees: it
// launches a served ball, holds the arrow key that brings the paddle under the
// falling ball and lets go once the paddle is there, and clicks the level button,
// "Game Over" and Pause when they show. It reads element positions and visibility
// only, never the state record or the random source, so it plays as well as a
// player could and no better. Its memory (the key it holds, where it last saw the
// ball) lasts from one `play` to the next, so playing 2 x 500 ms is playing 1000 ms.
class Autoplayer {
 public:
  static constexpr int kLookEveryMs = 25;

  explicit Autoplayer(Session& session) : session_(session) {}
  Autoplayer(const Autoplayer&) = delete;
  Autoplayer& operator=(const Autoplayer&) = delete;

  // Plays for `ms` milliseconds of virtual time, looking first at the present moment.
  void play(std::int64_t ms);
  // Looks at the window once and acts on what it sees; a script's `autoplay` looks
  // every kLookEveryMs while it lasts.
  void look();

 private:
  enum class Key { None, Left, Right };
  // Where the centre of the ball was seen, and when.
  struct Sighting {
    double x = 0;
    double y = 0;
    std::int64_t t = 0;
  };

  bool clickShownButton();
  Key steer(const Element& ball, const Element& paddle, const Element& board);
  Key launchKey();
  void hold(Key key, bool paddleMoved);
  void press(bool down, Key key);

  Session& session_;
  Key held_ = Key::None;
  std::optional<Sighting> lastBall_;
  std::optional<float> lastPaddleLeft_;
  bool nextLaunchRight_ = false;
  bool launching_ = false;
};

}  // namespace tilerush::sim
