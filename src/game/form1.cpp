// Opening the window, start-up and the helpers every subsystem shares.
#include "game/form1.h"

#include <stdexcept>
#include <string>

#include "game/layout.h"
#include "game/numbers.h"

namespace tilerush {

Form1::Form1(Display& display, Platform& platform, RandomSource& random)
    : display_(display), platform_(platform), random_(random) {}

void Form1::forget() {
  state_ = GameState{};
  e_ = Elements{};
}

void Form1::open() {
  display_.build(formLayout());
  bindElements();
  Form_Load();
}

namespace {

// A name the routines rely on and the layout lacks is a mistake in the program:
// it stops start-up here, where it is, instead of at the first tick.
template <typename Found>
Found* required(Found* found, std::string_view name) {
  if (!found) throw std::logic_error("the layout has no element named " + std::string(name));
  return found;
}

}  // namespace

void Form1::bindElements() {
  auto lone = [this](std::string_view name) { return required(display_.find(name), name); };
  auto array = [this](std::string_view name) { return required(display_.array(name), name); };
  e_.board = lone("board");
  e_.paddle = lone("paddle");
  e_.ball = lone("ball");
  e_.numbricks = lone("numbricks");
  e_.showscore = lone("showscore");
  e_.highscore = lone("highscore");
  e_.logobox = lone("logobox");
  e_.pause = lone(nameOf(ButtonId::Pause));
  e_.gameover = lone(nameOf(ButtonId::GameOver));
  e_.nextlevel = lone(nameOf(ButtonId::NextLevel));
  e_.timer1 = lone(nameOf(TimerId::Timer1));
  e_.timer2 = lone(nameOf(TimerId::Timer2));
  e_.timer3 = lone(nameOf(TimerId::Timer3));
  e_.brick = array("brick");
  e_.life = array("life");
  e_.logoball = array("logoball");
}

void Form1::fire(TimerId timer) {
  switch (timer) {
    case TimerId::Timer1:
      return Timer1_Timer();
    case TimerId::Timer2:
      return Timer2_Timer();
    case TimerId::Timer3:
      return Timer3_Timer();
  }
}

void Form1::click(ButtonId button) {
  switch (button) {
    case ButtonId::Pause:
      return pause_Click();
    case ButtonId::NextLevel:
      return nextlevel_Click();
    case ButtonId::GameOver:
      return gameover_Click();
  }
}

std::optional<TimerId> Form1::timerOf(const Element& element) const {
  if (&element == e_.timer1) return TimerId::Timer1;
  if (&element == e_.timer2) return TimerId::Timer2;
  if (&element == e_.timer3) return TimerId::Timer3;
  return std::nullopt;
}

const Element& Form1::element(TimerId timer) const {
  switch (timer) {
    case TimerId::Timer1:
      return *e_.timer1;
    case TimerId::Timer2:
      return *e_.timer2;
    case TimerId::Timer3:
      break;
  }
  return *e_.timer3;
}

const Element& Form1::element(ButtonId button) const {
  switch (button) {
    case ButtonId::Pause:
      return *e_.pause;
    case ButtonId::NextLevel:
      return *e_.nextlevel;
    case ButtonId::GameOver:
      break;
  }
  return *e_.gameover;
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

std::int16_t Form1::drawBelow(int k) { return toInt16(wholePart(static_cast<double>(random_.draw()) * k)); }

void Form1::stopPlay() {
  e_.timer1->setInterval(0);
  e_.timer2->setInterval(0);
}

void Form1::resumePlay() {
  e_.timer1->setInterval(kPlayTickMs);
  e_.timer2->setInterval(kPlayTickMs);
}

}  // namespace tilerush
