// The page's replay watcher, a program of its own that the page loads only when a
// replay is chosen: checks the replay whole on a headless game, then plays it on the
// page's canvas at its pace. The functions that take `now` are as in play.cpp.
#include <emscripten/emscripten.h>

#include <memory>
#include <sstream>
#include <string>

#include "sim/replay.h"
#include "sim/values.h"
#include "web/page_game.h"

extern "C" {
// Defined in web/page-calls.js: the watched replay has ended, and how.
void tr_replay_over(const char* verdict);
}

namespace {

using namespace tilerush;

// Longer replays are refused: checking one takes a while, and watching it longer.
constexpr std::int64_t kLongestReplayMs = 24LL * 3'600'000;
// A check goes on for this long at a time, so that the player's game keeps its beat.
constexpr double kCheckSliceMs = 4;
constexpr std::int64_t kCheckStepMs = 1000;

struct Watched {
  explicit Watched(std::string text) : script(std::move(text)), pace(game.session(), script, dumps) {}

  PageGame game{pageClockSeed};
  std::istringstream script;
  // A replay's dumps have nowhere to go in the page.
  std::ostream dumps{nullptr};
  sim::ReplayPace pace;
};

struct Watcher {
  // The bytes of the replay being checked, then watched.
  std::string script;
  std::unique_ptr<sim::ReplayCheck> check;
  std::string refusal;
  std::unique_ptr<Watched> watched;
  // Whether the page hears a replay as it plays.
  bool hearing = false;
};

Watcher& watcher() {
  static Watcher w;
  return w;
}

void over(const std::string& verdict) {
  watcher().watched->game.halt();
  tr_replay_over(verdict.c_str());
}

void nextStretch() {
  Watched& w = *watcher().watched;
  if (std::optional<std::int64_t> until = w.pace.next()) {
    w.game.runUntil(*until, nextStretch);
    return;
  }
  over(w.pace.verdict());
}

PageGame* shown() { return watcher().watched ? &watcher().watched->game : nullptr; }

}  // namespace

extern "C" {

// Room for a replay of `size` bytes, which the page's script fills in.
EMSCRIPTEN_KEEPALIVE char* tilerush_buffer(int size) {
  watcher().script.assign(static_cast<std::size_t>(size), '\0');
  return watcher().script.data();
}

// Starts checking the replay in the buffer; a check under way is dropped.
EMSCRIPTEN_KEEPALIVE void tilerush_check() {
  Watcher& w = watcher();
  w.check =
      std::make_unique<sim::ReplayCheck>(std::make_unique<std::istringstream>(w.script), kLongestReplayMs);
}

// Carries the check on for a few milliseconds: 1 while it runs, 2 once the replay
// can be watched, 3 when it cannot (tilerush_refusal says why).
EMSCRIPTEN_KEEPALIVE int tilerush_check_on() {
  Watcher& w = watcher();
  if (!w.check) return 3;
  const double start = emscripten_get_now();
  while (!w.check->proceed(kCheckStepMs)) {
    if (emscripten_get_now() - start > kCheckSliceMs) return 1;
  }
  w.refusal = w.check->wrong();
  w.check.reset();
  return w.refusal.empty() ? 2 : 3;
}

EMSCRIPTEN_KEEPALIVE const char* tilerush_refusal() { return watcher().refusal.c_str(); }

// Plays the replay that passed its check, from its start.
EMSCRIPTEN_KEEPALIVE double tilerush_watch(double now) {
  Watcher& w = watcher();
  w.watched.reset();
  w.watched = std::make_unique<Watched>(std::move(w.script));
  w.watched->game.hear(w.hearing);
  w.script.clear();
  // Lines up to the first stretch of game time: the seed and the opening, at least.
  nextStretch();
  w.watched->game.show(now);
  return w.watched->game.paint();
}

EMSCRIPTEN_KEEPALIVE double tilerush_pump(double now) {
  PageGame* game = shown();
  if (!game) return -1;
  try {
    game->catchUp(now);
  } catch (const sim::ScriptError& e) {
    // Only a replay's clicks are refused, and its check has shown that none is; should
    // one be all the same, the replay stops there.
    over("replay: line " + std::to_string(e.line()) + ": " + e.what());
  }
  return game->paint();
}

EMSCRIPTEN_KEEPALIVE double tilerush_resume(double now) {
  PageGame* game = shown();
  if (!game) return -1;
  game->restartClock(now);
  return game->paint();
}

EMSCRIPTEN_KEEPALIVE void tilerush_repaint() {
  if (PageGame* game = shown()) {
    game->view().repaintAll();
    game->view().paint();
  }
}

EMSCRIPTEN_KEEPALIVE void tilerush_hear(int on) {
  watcher().hearing = on != 0;
  if (PageGame* game = shown()) game->hear(on != 0);
}

// The replay is no longer shown: it is let go.
EMSCRIPTEN_KEEPALIVE void tilerush_close() { watcher().watched.reset(); }
}
