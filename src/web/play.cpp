// The browser page's program: the player's game, always recorded as a replay, driven
// by the page's script through the functions below. Those that take `now` take the
// page's clock (performance.now(), in milliseconds) and return the milliseconds until
// the script should pump the game again, -1 for never.
#include <emscripten/emscripten.h>

#include <string>

#include "sim/recorder.h"
#include "version.h"
#include "web/page_game.h"

namespace {

using namespace tilerush;

struct PlayedGame {
  PlayedGame() { game.session().setInputLog(&recorder); }

  std::string recorded;
  PageGame game{pageClockSeed};
  sim::Recorder recorder{game.session(), [this](std::string_view lines) { recorded += lines; }, kVersion,
                         utcNow()};
  // The last replay handed to the page, kept until the next.
  std::string saved;
};

PlayedGame& played() {
  static PlayedGame page;
  return page;
}

PageGame& game() { return played().game; }

}  // namespace

extern "C" {

// Opens the window: start-up runs and the three timers start now.
EMSCRIPTEN_KEEPALIVE double tilerush_open(double now) {
  game().session().open();
  game().show(now);
  return game().paint();
}

// The clock's wake-up: fires what fell due since the last one.
EMSCRIPTEN_KEEPALIVE double tilerush_pump(double now) {
  game().catchUp(now);
  return game().paint();
}

// The page was hidden, and the game with it: it goes on from where it was.
EMSCRIPTEN_KEEPALIVE double tilerush_resume(double now) {
  game().restartClock(now);
  return game().paint();
}

// The game is shown again after a replay, and goes on from where it was.
EMSCRIPTEN_KEEPALIVE double tilerush_show(double now) {
  game().show(now);
  return game().paint();
}

// A key went down (1) or up (0); `code` is the game's key code.
EMSCRIPTEN_KEEPALIVE double tilerush_key(int down, int code, double now) {
  game().give(down ? Input::keyDown(code) : Input::keyUp(code), now);
  return game().paint();
}

// A click on the page's push button `id`.
EMSCRIPTEN_KEEPALIVE double tilerush_click(int id, double now) {
  if (const std::string* name = game().view().buttons().name(id)) {
    if (std::optional<ButtonId> button = buttonNamed(*name)) game().give(Input::click(*button), now);
  }
  return game().paint();
}

// The canvas has new pixels (another scale or size): draw everything again.
EMSCRIPTEN_KEEPALIVE void tilerush_repaint() {
  game().view().repaintAll();
  game().view().paint();
}

// The game so far as a replay file, as the window records one: UTF-8, ending in 0.
// `now` ends it, unless the game is not being shown (a replay is), when its clock
// stands still.
EMSCRIPTEN_KEEPALIVE const char* tilerush_save(int shown, double now) {
  if (shown) game().catchUp(now);
  played().saved = played().recorded + played().recorder.closing();
  return played().saved.c_str();
}

// Whether the page hears the game: its sound is on and its cues are ready.
EMSCRIPTEN_KEEPALIVE void tilerush_hear(int on) { game().hear(on != 0); }
}
