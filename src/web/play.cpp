// The browser page's program: the player's game, always recorded as a replay, driven
// by the page's script through the functions below. Those that take `now` take the
// page's clock (performance.now(), in milliseconds) and return the milliseconds until
// the script should pump the game again, -1 for never.
#include <emscripten/emscripten.h>

#include <memory>
#include <optional>
#include <string>

#include "controls/controls.h"
#include "sim/recorder.h"
#include "version.h"
#include "web/page_game.h"
#include "web/readouts.h"

namespace {

using namespace tilerush;

struct PlayedGame {
  PlayedGame() { record(); }

  // A recording from now on, in place of any before: the page's first game, or a race.
  void record() {
    recorded.clear();
    recorder = std::make_unique<sim::Recorder>(
        game.session(), [this](std::string_view lines) { recorded += lines; }, kVersion, utcNow());
    game.session().setInputLog(recorder.get());
  }

  std::string recorded;
  PageGame game{pageClockSeed};
  std::unique_ptr<sim::Recorder> recorder;
  // Keys, the pointer, a finger and a pad reach the game through these, as its own
  // keys and clicks, so the recording holds them like any key.
  std::unique_ptr<Controls> controls = std::make_unique<Controls>(game.paced());
  // The last replay handed to the page, kept until the next.
  std::string saved;
};

PlayedGame& played() {
  static PlayedGame page;
  return page;
}

PageGame& game() { return played().game; }
Controls& controls() { return *played().controls; }

Steer steerOf(int direction) {
  if (direction < 0) return Steer::Left;
  return direction > 0 ? Steer::Right : Steer::None;
}

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
  controls().key(down != 0, code, pageNs(now));
  return game().paint();
}

// The mouse or a finger at (`x`, `y`), in pixels of the game area's layout from its
// top-left corner, when `on`; otherwise it has left the game area or been lifted.
EMSCRIPTEN_KEEPALIVE double tilerush_pointer(int on, double x, double y, double now) {
  std::optional<GamePoint> at;
  if (on) at = GamePoint{x * kTwipsPerPixel, y * kTwipsPerPixel};
  controls().pointerAt(at, pageNs(now));
  return game().paint();
}

// The pads' d-pad or stick steer left (-1), right (1) or not at all (0) now.
EMSCRIPTEN_KEEPALIVE double tilerush_pad(int direction, double now) {
  controls().padSteers(steerOf(direction), pageNs(now));
  return game().paint();
}

// A pad's Start button was pressed.
EMSCRIPTEN_KEEPALIVE double tilerush_pad_start(double now) {
  controls().padStart(pageNs(now));
  return game().paint();
}

// A pad's A button (the bottom face button) was pressed.
EMSCRIPTEN_KEEPALIVE double tilerush_pad_a(double now) {
  controls().padA(pageNs(now));
  return game().paint();
}

// The player went elsewhere: the page has just released the keys it held.
EMSCRIPTEN_KEEPALIVE double tilerush_left(double now) {
  controls().playerLeft(pageNs(now));
  return game().paint();
}

// How far from its centre a pad's stick must be held to steer, as a share of its
// travel: the page reads the pads, and sends only the changes of where they steer.
EMSCRIPTEN_KEEPALIVE double tilerush_stick_dead_zone() { return kStickDeadZone; }

// The counters the page says aloud (web/readouts.h), kept until the next call.
EMSCRIPTEN_KEEPALIVE const char* tilerush_readouts() {
  static std::string said;
  said = readouts(game().session().display(), game().session().form().state());
  return said.c_str();
}

// A click on the page's push button `id`.
EMSCRIPTEN_KEEPALIVE double tilerush_click(int id, double now) {
  if (const std::string* name = game().view().buttons().name(id)) {
    if (std::optional<ButtonId> button = buttonNamed(*name)) game().give(Input::click(*button), now);
  }
  return game().paint();
}

// "Play this game": a new run on a replay's first draws (its seed in two 32-bit
// halves), started as a fresh start-up would and recorded afresh, so that its replay
// opens with that seed and replays exactly. The run before is let go.
EMSCRIPTEN_KEEPALIVE double tilerush_race(unsigned high, unsigned low, double now) {
  PlayedGame& p = played();
  p.game.session().restart();
  p.controls = std::make_unique<Controls>(p.game.paced());
  p.record();
  p.game.session().seedNextStartUp((static_cast<std::uint64_t>(high) << 32) | low);
  p.game.session().open();
  p.game.show(now);
  return p.game.paint();
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
  played().saved = played().recorded + played().recorder->closing();
  return played().saved.c_str();
}

// Whether the page hears the game: its sound is on and its cues are ready.
EMSCRIPTEN_KEEPALIVE void tilerush_hear(int on) { game().hear(on != 0); }
}
