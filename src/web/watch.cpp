// The page's replay watcher, a program of its own that the page loads only when a
// replay is chosen or a link opened: checks the replay whole on a headless game, then
// shows it on the page's canvas like a video (sim::ReplayShow): played at one of its
// speeds, paused and stepped, or taken to any instant of it from the timeline or the
// viewer's keys. The functions that take `now` are as in play.cpp.
#include <emscripten/emscripten.h>

#include <memory>
#include <optional>
#include <set>
#include <sstream>
#include <string>

#include "sim/replay.h"
#include "sim/replay_show.h"
#include "sim/values.h"
#include "web/page_game.h"
#include "web/readouts.h"

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
  Watched(std::string text, sim::ReplayFacts facts)
      : script(text),
        show(
            game.paced(), std::move(text), std::move(facts),
            [](const std::string& verdict, int) { tr_replay_over(verdict.c_str()); },
            [this](bool ahead) { runningAhead(ahead); }) {}

  // A seek's fast run is neither drawn nor heard: the game area is drawn whole after it.
  void runningAhead(bool ahead) {
    game.watchView(!ahead);
    hearAtNormalSpeed(!ahead);
  }
  void hearAtNormalSpeed(bool now = true) { game.hear(now && hearing && show.speed() == sim::kNormalSpeed); }

  PageGame game{pageClockSeed};
  // The replay's text, for its first seed.
  std::string script;
  bool hearing = false;
  // Keys held, so that a held key's repeats step and jump but never toggle play again.
  std::set<int> held;
  sim::ReplayShow show;
};

struct Watcher {
  // The bytes of the replay being checked, then watched.
  std::string script;
  std::unique_ptr<sim::ReplayCheck> check;
  std::string refusal;
  sim::ReplayFacts facts;
  std::unique_ptr<Watched> watched;
  // Whether the page hears a replay as it plays.
  bool hearing = false;
};

Watcher& watcher() {
  static Watcher w;
  return w;
}

Watched* shown() { return watcher().watched.get(); }

bool repeats(sim::TheatreKey key) {
  using sim::TheatreKey;
  return key == TheatreKey::StepOn || key == TheatreKey::StepBack || key == TheatreKey::Back ||
         key == TheatreKey::On;
}

double settled(Watched& w) {
  w.hearAtNormalSpeed();
  return w.game.paint();
}

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
  w.facts = w.check->facts();
  w.check.reset();
  return w.refusal.empty() ? 2 : 3;
}

EMSCRIPTEN_KEEPALIVE const char* tilerush_refusal() { return watcher().refusal.c_str(); }

// Shows the replay that passed its check, playing from its start.
EMSCRIPTEN_KEEPALIVE double tilerush_watch(double now) {
  Watcher& w = watcher();
  w.watched.reset();
  w.watched = std::make_unique<Watched>(std::move(w.script), std::move(w.facts));
  w.watched->hearing = w.hearing;
  w.script.clear();
  w.watched->game.show(now);
  w.watched->show.play(pageNs(now));
  return settled(*w.watched);
}

EMSCRIPTEN_KEEPALIVE double tilerush_pump(double now) {
  Watched* w = shown();
  if (!w) return -1;
  try {
    w->game.catchUp(now);
  } catch (const sim::ScriptError& e) {
    // Only a replay's clicks are refused, and its check has shown that none is; should
    // one be all the same, the replay stops there.
    w->show.pause();
    const std::string why = "replay: line " + std::to_string(e.line()) + ": " + e.what();
    tr_replay_over(why.c_str());
  }
  return w->game.paint();
}

EMSCRIPTEN_KEEPALIVE double tilerush_resume(double now) {
  Watched* w = shown();
  if (!w) return -1;
  w->game.restartClock(now);
  return w->game.paint();
}

EMSCRIPTEN_KEEPALIVE void tilerush_repaint() {
  if (Watched* w = shown()) {
    w->game.view().repaintAll();
    w->game.view().paint();
  }
}

EMSCRIPTEN_KEEPALIVE void tilerush_hear(int on) {
  watcher().hearing = on != 0;
  if (Watched* w = shown()) {
    w->hearing = on != 0;
    w->hearAtNormalSpeed();
  }
}

// A viewer's key went down (1) or up (0), by the game's key code: what it does to the
// show, never to the game shown.
EMSCRIPTEN_KEEPALIVE double tilerush_view_key(int down, int code, double now) {
  Watched* w = shown();
  if (!w) return -1;
  if (!down) {
    w->held.erase(code);
    return w->game.paint();
  }
  const sim::TheatreKey key = sim::theatreKeyOf(code);
  if (key == sim::TheatreKey::None) return w->game.paint();
  if (!w->held.insert(code).second && !repeats(key)) return w->game.paint();
  w->show.key(code, pageNs(now));
  return settled(*w);
}

// The timeline's slider, at game millisecond `t`.
EMSCRIPTEN_KEEPALIVE double tilerush_seek(double t, double now) {
  Watched* w = shown();
  if (!w) return -1;
  w->show.seek(static_cast<std::int64_t>(t), pageNs(now));
  return settled(*w);
}

// One of sim::kSpeeds, slowest first.
EMSCRIPTEN_KEEPALIVE double tilerush_speed(int index, double now) {
  Watched* w = shown();
  if (!w) return -1;
  w->show.setSpeed(index, pageNs(now));
  return settled(*w);
}

EMSCRIPTEN_KEEPALIVE double tilerush_play_or_pause(double now) {
  Watched* w = shown();
  if (!w) return -1;
  if (w->show.playing()) {
    w->show.pause();
  } else {
    w->show.play(pageNs(now));
  }
  return settled(*w);
}

// Where the show stands, for the timeline: game time, length, playing (1 or 0), the
// speed's index and whether the end was reached, separated by tabs.
EMSCRIPTEN_KEEPALIVE const char* tilerush_timeline() {
  static std::string said;
  said.clear();
  if (const Watched* w = shown()) {
    const sim::ReplayShow& s = w->show;
    said = std::to_string(s.now()) + '\t' + std::to_string(s.length()) + '\t' + (s.playing() ? "1" : "0") +
           '\t' + std::to_string(s.speed()) + '\t' + (s.over() ? "1" : "0");
  }
  return said.c_str();
}

// The replay's marks as "kind at" pairs, one a line: L a lost ball, C a cleared level,
// G Game Over.
EMSCRIPTEN_KEEPALIVE const char* tilerush_marks() {
  static std::string said;
  said.clear();
  if (const Watched* w = shown()) {
    for (const sim::Mark& mark : w->show.marks()) {
      const char kind = mark.kind == sim::Mark::Kind::LostBall       ? 'L'
                        : mark.kind == sim::Mark::Kind::LevelCleared ? 'C'
                                                                     : 'G';
      said += kind;
      said += ' ' + std::to_string(mark.at) + '\n';
    }
  }
  return said.c_str();
}

// The watched game's counters, as the player's game says them (web/readouts.h).
EMSCRIPTEN_KEEPALIVE const char* tilerush_readouts() {
  static std::string said;
  said.clear();
  if (Watched* w = shown()) said = readouts(w->game.session().display(), w->game.session().form().state());
  return said.c_str();
}

// The watched replay's first seed, in decimal, for a race; "" when it opens unseeded.
EMSCRIPTEN_KEEPALIVE const char* tilerush_first_seed() {
  static std::string said;
  said.clear();
  if (const Watched* w = shown()) {
    if (std::optional<std::uint64_t> seed = sim::firstSeed(w->script)) said = std::to_string(*seed);
  }
  return said.c_str();
}

// The replay is no longer shown: it is let go.
EMSCRIPTEN_KEEPALIVE void tilerush_close() { watcher().watched.reset(); }
}
