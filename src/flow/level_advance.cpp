// Ending a level and starting the next: maps run in a cycle, the level number on.
#include "game/form1.h"
#include "game/numbers.h"

namespace tilerush {

void Form1::nextlvl() {
  GameState& s = state_;
  s.mapno = s.mapno + 1;
  s.levelno = s.levelno + 1;
  if (s.mapno > s.nummaps) s.mapno = 1;
  e_.nextlevel->setVisible(true);
  e_.nextlevel->setCaption("Level:" + numberText(s.levelno));
  stopPlay();
  tell(Happening::LevelCleared, 0, s.levelno);
}

void Form1::nextlevel_Click() {
  GameState& s = state_;
  e_.nextlevel->setVisible(false);
  // The new life's marker waits for the next brick hit.
  s.lives = toInt16(s.lives + 1.0);
  if (s.lives > kMostLives) s.lives = kMostLives;
  grid();
  start();
  resumePlay();
}

}  // namespace tilerush
