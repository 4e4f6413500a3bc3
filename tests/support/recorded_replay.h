// A replay recorded across a cleared level, lost balls and a "Game Over", and the
// same replay cut at a game time: what the tests of watching hold a shown game to.
#pragma once

#include <algorithm>
#include <cstdint>
#include <sstream>
#include <string>

#include "game/form1.h"
#include "game/session.h"
#include "sim/autoplay.h"
#include "sim/recorder.h"

namespace tilerush::testing {

// Five minutes of the automatic player (seed 1 clears map 1 in them), then a player
// who only launches the ball until "Game Over", clicked away.
inline std::string recordedGame() {
  Session session([] { return 1; });
  std::string lines;
  const auto keep = [&](std::string_view line) { lines += line; };
  sim::Recorder recorder(session, keep, "test", "today");
  session.setInputLog(&recorder);
  session.open();
  sim::Autoplayer(session).play(300'000);
  while (!session.display().find("gameover")->visible()) {
    for (ButtonId button : {ButtonId::Pause, ButtonId::NextLevel}) {
      if (session.form().element(button).visible()) session.give(Input::click(button));
    }
    session.give(Input::keyDown(kKeyRight));
    session.advanceBy(30);
    session.give(Input::keyUp(kKeyRight));
    session.advanceBy(470);
  }
  session.advanceBy(800);
  session.give(Input::click(ButtonId::GameOver));
  session.advanceBy(1234);
  return lines + recorder.closing();
}

// The script's lines up to game time `t`, those at `t` included; its closing
// expectations only once `t` reaches its end. Run by tilerush-sim, it is the truth
// about the replay at `t`.
inline std::string replayCutAt(const std::string& script, std::int64_t t) {
  std::istringstream in(script);
  std::string cut;
  std::int64_t now = 0;
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("advance ", 0) == 0) {
      if (now >= t) break;
      const std::int64_t ms = std::stoll(line.substr(8));
      const std::int64_t taken = std::min(ms, t - now);
      cut += "advance " + std::to_string(taken) + "\n";
      now += taken;
      if (taken < ms) break;
      continue;
    }
    if (line.rfind("expect ", 0) == 0 && now < t) break;
    cut += line + "\n";
  }
  return cut;
}

}  // namespace tilerush::testing
