// A lost ball costs a life after a one-second pause; the last one ends the game, and
// "Game Over" rebuilds the window for a new game on the same state record.
#include "game/form1.h"
#include "game/numbers.h"

namespace tilerush {

void Form1::lostlife() {
  tell(Happening::BallLost);
  // The pause lets the player see the ball go; the window keeps painting meanwhile.
  platform_.holdEvents(1000, [this] { finishLostLife(); });
}

void Form1::finishLostLife() {
  GameState& s = state_;
  showLife(s.lives, false);
  s.lives = toInt16(s.lives - 1.0);
  if (s.lives == 0) {
    over();
  } else {
    start();
  }
}

void Form1::over() {
  tell(Happening::GameOver);
  e_.gameover->setVisible(true);
  stopPlay();
}

// The record outlives the window: the best score and whatever start-up does not set
// carry into the new game.
void Form1::gameover_Click() {
  open();
  tell(Happening::NewGame);
}

}  // namespace tilerush
