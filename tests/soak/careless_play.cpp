// The careless player: it flees the ball, so every ball falls past the paddle.
#include "careless_play.h"

#include "game/form1.h"

namespace tilerush::soak {
namespace {

constexpr int kLookEveryMs = 25;

double centre(const Element& e) { return static_cast<double>(e.left()) + e.width() / 2.0; }

}  // namespace

bool playUntilGameOver(Session& session, std::int64_t limitMs) {
  const Display& display = session.display();
  for (std::int64_t played = 0; played < limitMs; played += kLookEveryMs) {
    if (display.find("gameover")->visible()) return true;
    // Input given during the pause after a lost ball would wait for its end.
    if (!session.holding()) {
      // Someone's P or a level's end stops play; the buttons put it back.
      for (const char* button : {"pause", "nextlevel"}) {
        if (display.find(button)->visible()) session.give(Input::click(*buttonNamed(button)));
      }
      // Away from the ball; a served ball, right over the paddle's centre, is launched by it.
      bool ballOnTheRight = centre(*display.find("ball")) > centre(*display.find("paddle"));
      session.give(Input::keyDown(ballOnTheRight ? kKeyLeft : kKeyRight));
    }
    session.advanceBy(kLookEveryMs);
  }
  return display.find("gameover")->visible();
}

void clickGameOver(Session& session) { session.give(Input::click(ButtonId::GameOver)); }

}  // namespace tilerush::soak
