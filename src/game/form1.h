// The game window: its state record, its elements and every routine of the game.
// The routines are defined in the folders of their subsystems (board/, ball/, flow/,
// logo/ and here); they call one another directly, one event at a time.
#pragma once

#include <cstdint>
#include <optional>

#include "display/display.h"
#include "game/hook.h"
#include "game/ids.h"
#include "game/keys.h"
#include "game/listener.h"
#include "game/platform.h"
#include "game/state.h"
#include "levels/level_set.h"
#include "timing/random.h"

namespace tilerush {

// Its members come in three kinds, and the header keeps them apart:
// - the events, which a front end (or the clock) delivers: the window's own handlers
//   under the game's names (`Timer2_Timer`, `pause_Click`, `Form_KeyDown`) and ours
//   that route to them (`open`, `fire`, `click`);
// - what anyone may read: the state record, the elements, which timer is which;
// - the routines (`setvariables`, `nextlvl`, ...), private: only the events and one
//   another call them. Tests of one routine, and tilerush-sim's `set`, go through
//   FormProbe (game/form_probe.h), the one deliberate way in.
class Form1 {
 public:
  Form1(Display& display, Platform& platform, RandomSource& random);

  // `listener` hears what happens in play from now on, until the hook goes; any number
  // may listen, each registration its own. None by default, and tilerush-sim adds none.
  [[nodiscard]] Hook addListener(GameListener& listener) {
    return listeners_.add(
        [&listener](Happening what, double before, double after) { listener.happened(what, before, after); });
  }

  // ---- Events ----

  // The state record zeroed and no element known, as before the program first opened
  // the window; for a session started again from nothing.
  void forget();
  // Opens the window: creates every element from the layout, then runs start-up.
  // The clock starts the three timers as the layout creates them.
  void open();
  // A tick of one of the window's timers and a click on one of its buttons, as the
  // clock and the front ends deliver them.
  void fire(TimerId timer);
  void click(ButtonId button);

  // The maps every start-up from now on lays out: `set` in place of the built-in five,
  // the first level on its map `firstMap` (1 to its count, checked by the caller);
  // none goes back to the built-in five.
  void chooseLevels(std::optional<levels::LevelSet> set, int firstMap = 1);
  const std::optional<levels::LevelSet>& chosenLevels() const { return chosen_; }
  int firstMap() const { return firstMap_; }

  // The window's own event handlers.
  void Form_Load();
  void Form_KeyDown(int keyCode, int shift);
  void Form_KeyUp(int keyCode, int shift);
  void Timer1_Timer();
  void Timer2_Timer();
  void Timer3_Timer();
  void pause_Click();
  void gameover_Click();
  void nextlevel_Click();

  // ---- Reading ----

  const GameState& state() const { return state_; }
  const Display& display() const { return display_; }
  // Which of the window's timers an element is; none for any other element.
  std::optional<TimerId> timerOf(const Element& element) const;
  const Element& element(TimerId timer) const;
  const Element& element(ButtonId button) const;

 private:
  friend class FormProbe;

  // ---- Routines ----

  // Start-up, serve and pause (game/).
  void setvariables();
  void start();
  // Board (board/).
  void loadbricks();
  void grid();
  void colorbricks(int n, int c, int r);
  void sizeobjects();
  // Ball (ball/).
  void whereball();
  void score(int i, int x, int y, int decx, int decy);
  void hitpaddle();
  // Game flow (flow/).
  void updatescore();
  void lostlife();
  void over();
  void nextlvl();
  // Title logo (logo/).
  void initlogo();

  // The elements the routines address, found again after every build.
  struct Elements {
    Element* board = nullptr;
    Element* paddle = nullptr;
    Element* ball = nullptr;
    Element* numbricks = nullptr;
    Element* showscore = nullptr;
    Element* highscore = nullptr;
    Element* logobox = nullptr;
    Element* pause = nullptr;
    Element* gameover = nullptr;
    Element* nextlevel = nullptr;
    Element* timer1 = nullptr;
    Element* timer2 = nullptr;
    Element* timer3 = nullptr;
    ElementArray* brick = nullptr;
    ElementArray* life = nullptr;
    ElementArray* logoball = nullptr;
  };

  void bindElements();
  // 1 - r x 0.05 from a fresh draw: a random factor in (0.95, 1].
  double freshFactor();
  // Int(r x k) from a fresh draw, 0..k-1.
  std::int16_t drawBelow(int k);
  // The brick value at a column and row; cells outside the table hold no brick.
  std::int16_t cellValue(int column, int row) const;
  // Life markers exist for 1..6 only; any other number addresses nothing.
  void showLife(double number, bool shown);
  void finishLostLife();
  void fillLevels();
  void stopPlay();
  void resumePlay();
  void tell(Happening what, double before = 0, double after = 0) const {
    listeners_.run(what, before, after);
  }

  Display& display_;
  Platform& platform_;
  RandomSource& random_;
  GameState state_;
  Elements e_;
  HookList<Happening, double, double> listeners_;
  std::optional<levels::LevelSet> chosen_;
  int firstMap_ = 1;
};

}  // namespace tilerush
