// What the stage tells a front end to show. The front end draws what it is told and
// turns its toolkit's events into the stage's; it keeps no rule of its own.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "game/listener.h"
#include "game/session.h"
#include "sim/replay.h"

namespace tilerush::stage {

// Where the player is: in a game of their own (from its start, or racing a replay's
// first draws), or watching a replay.
enum class Mode { Playing, Watching };

// A watched replay's timeline: where it stands, and what it holds.
struct Timeline {
  std::int64_t now = 0;  // game milliseconds
  std::int64_t length = 0;
  bool playing = false;
  int speed = 0;  // an index of sim::kSpeeds
  bool over = false;
  std::vector<sim::Mark> marks;
  bool operator==(const Timeline&) const = default;
};

// The front end's own buttons beside the game's: which of them show.
struct Buttons {
  bool backToMyGame = false;  // "Back to my game"
  bool playThisGame = false;  // "Play this game"
  bool operator==(const Buttons&) const = default;
};

// What the player asked of the front end itself, by its keys.
enum class Request {
  ToggleSound,       // M
  ToggleFullScreen,  // F11, Alt+Enter
  LeaveFullScreen,   // Escape
};

// One of the player's games as its own replay, from its header, `high`, `seed` and
// `open` to its closing expectations: handed over at "Game Over", or cut short where
// the game stood (the player raced another or closed the program).
struct FinishedGame {
  std::string replay;
  bool over = false;  // it ended at "Game Over"
};

class View {
 public:
  virtual ~View() = default;
  // Draw `game` from now on, all of it at once.
  virtual void show(Session& game) = 0;
  // While false, the game shown runs ahead faster than it is shown (a seek): nothing
  // of it is drawn; once true again, all of it is drawn afresh.
  virtual void drawing(bool on) = 0;
  // The mode changed, and with it the buttons; a timeline shows while watching.
  virtual void mode(Mode mode, const Buttons& buttons) = 0;
  // The watched replay's timeline, after each of the viewer's acts and every
  // kFollowMs of real time while it plays.
  virtual void timeline(const Timeline& timeline) = 0;
  // The watched replay reached its end: "replay: all N expectations held", or the
  // first line that failed and why, with tilerush-sim's status for it.
  virtual void verdict(const std::string& text, int status) = 0;
  // Something happened in the game shown that is heard now (the front end may still
  // keep its sound off).
  virtual void happened(Happening what, double before, double after) = 0;
  virtual void asked(Request request) = 0;
  // The player's game ended at "Game Over" (once a game, after the event that ended
  // it), or a race or a challenge took the place of a game that had not ended. It is
  // told from inside the stage's own calls: the front end keeps it, and calls nothing
  // of the stage from here.
  virtual void gameEnded(const FinishedGame&) {}
};

}  // namespace tilerush::stage
