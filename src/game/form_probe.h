// The one way into Form1 besides its events: a test that runs one routine by itself
// against a worked example, and tilerush-sim's `set`, which writes the state record
// as the script says. Nothing that plays the game uses it.
#pragma once

#include "game/form1.h"

namespace tilerush {

class FormProbe {
 public:
  explicit FormProbe(Form1& form) : form_(form) {}

  GameState& state() { return form_.state_; }

  // The routines, each run alone, as an event would run it.
  void setvariables() { form_.setvariables(); }
  void start() { form_.start(); }
  void loadbricks() { form_.loadbricks(); }
  void grid() { form_.grid(); }
  void colorbricks(int n, int c, int r) { form_.colorbricks(n, c, r); }
  void sizeobjects() { form_.sizeobjects(); }
  void whereball() { form_.whereball(); }
  void score(int i, int x, int y, int decx, int decy) { form_.score(i, x, y, decx, decy); }
  void hitpaddle() { form_.hitpaddle(); }
  void updatescore() { form_.updatescore(); }
  void lostlife() { form_.lostlife(); }
  void over() { form_.over(); }
  void nextlvl() { form_.nextlvl(); }
  void initlogo() { form_.initlogo(); }

 private:
  Form1& form_;
};

}  // namespace tilerush
