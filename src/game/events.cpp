// Routing timer ticks and button clicks, known by element name, to their handlers.
#include "game/events.h"

namespace tilerush {

bool fireTimer(Form1& form, std::string_view timer) {
  if (timer == "Timer1") form.Timer1_Timer();
  else if (timer == "Timer2") form.Timer2_Timer();
  else if (timer == "Timer3") form.Timer3_Timer();
  else return false;
  return true;
}

bool clickButton(Form1& form, std::string_view button) {
  if (button == "pause") form.pause_Click();
  else if (button == "gameover") form.gameover_Click();
  else if (button == "nextlevel") form.nextlevel_Click();
  else return false;
  return true;
}

}  // namespace tilerush
