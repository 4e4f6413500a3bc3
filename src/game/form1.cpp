// Opening the window, start-up and the helpers every subsystem shares.
#include "game/form1.h"

#include "game/layout.h"
#include "game/numbers.h"

namespace tilerush {

Form1::Form1(Display& display, Platform& platform, RandomSource& random)
    : display_(display), platform_(platform), random_(random) {}

void Form1::open() {
  display_.build(formLayout());
  bindElements();
  Form_Load();
}

void Form1::bindElements() {
  e_.board = display_.find("board");
  e_.paddle = display_.find("paddle");
  e_.ball = display_.find("ball");
  e_.numbricks = display_.find("numbricks");
  e_.showscore = display_.find("showscore");
  e_.highscore = display_.find("highscore");
  e_.logobox = display_.find("logobox");
  e_.pause = display_.find("pause");
  e_.gameover = display_.find("gameover");
  e_.nextlevel = display_.find("nextlevel");
  e_.timer1 = display_.find("Timer1");
  e_.timer2 = display_.find("Timer2");
  e_.brick = display_.array("brick");
  e_.life = display_.array("life");
  e_.logoball = display_.array("logoball");
}

void Form1::Form_Load() {
  random_.seed(platform_.clockSeed());
  setvariables();
  loadbricks();
  fillLevels();
  grid();
  sizeobjects();
  start();
  initlogo();
}

void Form1::setvariables() {
  state_.levelno = 1;
  state_.mapno = 1;
  state_.nummaps = 5;
  if (state_.lives == 0) state_.lives = 3;
  state_.brickcount = 0;
  state_.bonuspoints = 0;
  state_.points = 0;
}

double Form1::freshFactor() { return 1 - static_cast<double>(random_.draw()) * 0.05; }

std::int16_t Form1::drawBelow(int k) {
  return toInt16(wholePart(static_cast<double>(random_.draw()) * k));
}

void Form1::stopPlay() {
  e_.timer1->setInterval(0);
  e_.timer2->setInterval(0);
}

void Form1::resumePlay() {
  e_.timer1->setInterval(25);
  e_.timer2->setInterval(25);
}

}  // namespace tilerush
