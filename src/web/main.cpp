// The browser page's program: one game on the browser back end, driven by the page's
// script through the functions below. Each takes the page's clock (performance.now()
// in milliseconds) and returns the milliseconds until the script should pump again.
#include <emscripten/emscripten.h>

#include <memory>
#include <string>

#include "display/display.h"
#include "display/random.h"
#include "display/web/web_backend.h"
#include "game/events.h"
#include "game/form1.h"

namespace {

using namespace tilerush;

struct PageGame {
  PageGame() {
    display.setObserver(&backend);
    backend.setTimerHandler([this](const std::string& timer) { fireTimer(form, timer); });
  }

  Display display;
  RandomSource random;
  WebBackend backend{display};
  Form1 form{display, backend, random};
};

PageGame& game() {
  static PageGame page;
  return page;
}

}  // namespace

extern "C" {

// Opens the window: start-up runs and the three timers start now.
EMSCRIPTEN_KEEPALIVE double tilerush_open(double realMs) {
  game().backend.restartAt(realMs);
  game().form.open();
  return game().backend.paint();
}

// The clock's wake-up: fires what fell due since the last one.
EMSCRIPTEN_KEEPALIVE double tilerush_pump(double realMs) {
  game().backend.catchUp(realMs);
  return game().backend.paint();
}

// The page was hidden, and the game with it: it goes on from where it was.
EMSCRIPTEN_KEEPALIVE double tilerush_resume(double realMs) {
  game().backend.restartAt(realMs);
  return game().backend.paint();
}

// A key went down or up; `code` is the game's key code, `shift` bit 1 Shift, 2 Ctrl, 4 Alt.
EMSCRIPTEN_KEEPALIVE double tilerush_key(int down, int code, int shift, double realMs) {
  PageGame& g = game();
  g.backend.catchUp(realMs);
  g.backend.submit([&g, down, code, shift] {
    if (down) {
      g.form.Form_KeyDown(code, shift);
    } else {
      g.form.Form_KeyUp(code, shift);
    }
  });
  return g.backend.paint();
}

// A click on the page's button `id`.
EMSCRIPTEN_KEEPALIVE double tilerush_click(int id, double realMs) {
  PageGame& g = game();
  g.backend.catchUp(realMs);
  if (const std::string* name = g.backend.buttons().name(id)) {
    g.backend.submit([&g, button = *name] {
      // A click held through a pause is lost if its button has gone meanwhile.
      const Element* element = g.display.find(button);
      if (element && element->visible()) clickButton(g.form, button);
    });
  }
  return g.backend.paint();
}

// The canvas has new pixels (another scale or size): draw everything again.
EMSCRIPTEN_KEEPALIVE void tilerush_repaint() {
  game().backend.repaintAll();
  game().backend.paint();
}
}
