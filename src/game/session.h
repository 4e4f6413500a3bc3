// One run of the game on the one clock: the window's elements, its random source,
// the game itself, and the input held back while a lost ball pauses play. Every
// front end (tilerush-sim, the window, the page) plays through one of these.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "display/display.h"
#include "game/form1.h"
#include "game/ids.h"
#include "game/platform.h"
#include "timing/clock.h"
#include "timing/random.h"

namespace tilerush {

// A key, a click, or a tick fired by a script's word: what a player or a script
// gives the game, and what the pause after a lost ball holds back.
struct Input {
  enum class Kind { KeyDown, KeyUp, Click, Tick };
  Kind kind = Kind::KeyDown;
  int key = 0;                        // key events
  ButtonId button = ButtonId::Pause;  // clicks
  TimerId timer = TimerId::Timer1;    // ticks
  int count = 1;                      // ticks: how many fires
  int line = 0;                       // the script line that gave it, for a later message

  static Input keyDown(int key) { return {Kind::KeyDown, key}; }
  static Input keyUp(int key) { return {Kind::KeyUp, key}; }
  static Input click(ButtonId button) { return {Kind::Click, 0, button}; }
};

// Who keeps the input of a session as it is given: a replay being recorded.
class InputLog {
 public:
  virtual ~InputLog() = default;
  // The window opens with this seed for its random source.
  virtual void opening(std::uint64_t seed) = 0;
  // `input` is about to be given at the clock's present instant.
  virtual void giving(const Input& input) = 0;
  // ...and was held for the end of the lost-ball pause, or carried out, changing
  // the game or (a repeated key-down, say) leaving it exactly as it was.
  virtual void given(const Input& input, bool held, bool changedGame) = 0;
};

// What the game has just handled, for whoever watches a session event by event.
enum class GameEvent { Open, Tick, Key, Click, PauseEnd };

class Session : private Platform {
 public:
  using SeedSource = std::function<std::uint64_t()>;
  // Called after every event the game handles, with the timer, "down" or "up", or
  // the button it was (empty for Open and PauseEnd).
  using EventWatcher = std::function<void(GameEvent event, std::string_view name)>;
  using ClickRefusal = std::function<void(const Input& click)>;

  // Start-ups seed the random source from `clockSeeds` unless a seed is fixed.
  explicit Session(SeedSource clockSeeds);
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // Every start-up from now on seeds the random source with `seed`.
  void fixSeed(std::uint64_t seed);
  // The next start-up alone seeds the random source with `seed`; later ones seed
  // from the clock again (a replay's game raced afresh).
  void seedNextStartUp(std::uint64_t seed) { upcomingSeed_ = seed; }
  // The seed the next start-up will use.
  std::uint64_t upcomingSeed();
  // The seed the last start-up used; none before the first.
  std::optional<std::uint64_t> startUpSeed() const { return startUpSeed_; }
  void queueDraws(const std::vector<float>& draws);

  bool isOpen() const { return open_; }
  // Starts again from nothing, as a new session would: no window, no game, time 0, an
  // unseeded random source. The display's observers, the input log and the watchers
  // stay: a replay shown in a window is taken back to its start this way.
  void restart();
  // Opens the window: start-up runs and the three timers start now.
  void open();
  // Gives input now, or, while a lost ball holds play, at the pause's end.
  void give(const Input& input);
  // A click on a button that is hidden when it is carried out (a click held through
  // the pause) does nothing, unless a refusal is set: tilerush-sim reports it.
  void onHiddenClick(ClickRefusal refusal) { refuseClick_ = std::move(refusal); }

  std::int64_t now() const { return clock_.now(); }
  std::optional<std::int64_t> nextDue() const { return clock_.nextDue(); }
  bool holding() const { return clock_.holding(); }
  // How many times a timer has fired in this session: a front end that must act "at
  // the next paddle tick" compares two counts.
  std::uint64_t firings(TimerId timer) const { return firings_[static_cast<std::size_t>(timer)]; }
  // Moves game time on, firing the ticks that fall due.
  void advanceTo(std::int64_t t) { clock_.advanceTo(t); }
  void advanceBy(std::int64_t ms) { clock_.advanceTo(clock_.now() + ms); }

  void setInputLog(InputLog* log) { log_ = log; }
  void watchEvents(EventWatcher watcher) { watcher_ = std::move(watcher); }

  Form1& form() { return form_; }
  const GameState& state() const { return form_.state(); }
  Display& display() { return display_; }
  const Display& display() const { return display_; }
  RandomSource& random() { return random_; }

 private:
  // Everything a key can change: equal footprints mean the key changed nothing.
  struct Footprint {
    std::uint64_t displayChanges;
    std::uint64_t scheduleChanges;
    double paddledir;
    bool operator==(const Footprint&) const = default;
  };
  Footprint footprint() const;

  // Platform
  std::uint64_t clockSeed() override;
  void holdEvents(int ms, std::function<void()> resume) override { clock_.hold(ms, std::move(resume)); }

  void perform(const Input& input);
  void fire(TimerId timer, int count);
  void giveHeld();
  void notify(GameEvent event, std::string_view name = {}) {
    if (watcher_) watcher_(event, name);
  }

  SeedSource clockSeeds_;
  std::optional<std::uint64_t> fixedSeed_;
  std::optional<std::uint64_t> upcomingSeed_;
  std::optional<std::uint64_t> startUpSeed_;
  Display display_;
  RandomSource random_;
  Clock clock_;
  Form1 form_{display_, *this, random_};
  bool open_ = false;
  std::deque<Input> held_;
  std::array<std::uint64_t, kTimers.size()> firings_{};
  InputLog* log_ = nullptr;
  EventWatcher watcher_;
  ClickRefusal refuseClick_;
};

}  // namespace tilerush
