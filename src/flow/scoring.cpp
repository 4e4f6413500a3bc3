// Ten points a hit, an extra life each time the meter passes 5000, and the score labels.
#include "game/form1.h"
#include "game/numbers.h"

namespace tilerush {

void Form1::showLife(double number, bool shown) {
  double index = number;
  if (index < 1 || index > kMostLives) return;
  if (Element* marker = e_.life->member(static_cast<int>(index))) marker->setVisible(shown);
}

void Form1::updatescore() {
  GameState& s = state_;
  s.points = s.points + 10;
  s.bonuspoints = s.bonuspoints + 10;
  if (s.bonuspoints > 5000) {
    s.bonuspoints = s.bonuspoints - 5000;
    s.lives = toInt16(s.lives + 1.0);
    if (s.lives > kMostLives) s.lives = kMostLives;
    tell(Happening::ExtraLife, 0, s.lives);
  }
  // Shown on every hit: this is what brings up the marker of a life given at a level
  // advance, which shows none of its own.
  showLife(s.lives, true);
  e_.showscore->setCaption(sixDigits(s.points));
  if (s.points > s.toppoints) {
    e_.highscore->setCaption(e_.showscore->caption());
    s.toppoints = toInt32(s.points);
  }
}

}  // namespace tilerush
