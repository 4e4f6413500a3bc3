// One scripted game on the headless back end: the window, its virtual clock, the
// random source, and the input held back while a lost ball pauses play.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "display/display.h"
#include "display/headless.h"
#include "display/random.h"
#include "game/form1.h"

namespace tilerush::sim {

// A key, click or tick command: what the pause after a lost ball holds back.
struct InputEvent {
  enum class Kind { KeyDown, KeyUp, Click, Tick };
  Kind kind = Kind::KeyDown;
  int line = 0;      // script line, for an error found when it is carried out
  int key = 0;       // key code of a key event
  std::string name;  // button of a click, timer of a tick
  int count = 1;     // fires of a tick
};

// What the game has just handled, for whoever watches a session event by event.
enum class GameEvent { Open, Tick, Key, Click, PauseEnd };

class Session {
 public:
  // Called after every event the game handles, with the timer, key or button it was
  // (empty for Open and PauseEnd). Soak tests check the game's invariants here.
  using EventWatcher = std::function<void(GameEvent event, std::string_view name)>;

  Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // Every start-up from now on seeds the random source with `seed` instead of the clock.
  void setSeed(std::uint64_t seed) { seed_ = seed; }
  void queueDraws(const std::vector<float>& draws);

  void watchEvents(EventWatcher watcher) { watcher_ = std::move(watcher); }

  bool isOpen() const { return open_; }
  void open();

  // Carried out now, or, while a lost ball holds play, kept for the pause's end.
  void deliver(InputEvent event);
  // Moves the virtual clock on, firing the ticks that fall due.
  void advance(std::int64_t ms);

  std::int64_t now() const { return backend_.now(); }
  bool holding() const { return backend_.holding(); }
  GameState& state() { return form_.state(); }
  Form1& form() { return form_; }
  Display& display() { return display_; }
  const Display& display() const { return display_; }

 private:
  std::uint64_t nextSeed();
  void perform(const InputEvent& event);
  void fire(const std::string& timer, int count);
  void replayHeld();
  void notify(GameEvent event, std::string_view name = {}) {
    if (watcher_) watcher_(event, name);
  }

  std::optional<std::uint64_t> seed_;
  Display display_;
  HeadlessBackend backend_;
  RandomSource random_;
  Form1 form_{display_, backend_, random_};
  bool open_ = false;
  std::deque<InputEvent> held_;
  EventWatcher watcher_;
};

}  // namespace tilerush::sim
