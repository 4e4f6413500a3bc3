// The page's replay watcher, a program of its own that the page loads only when a
// replay is chosen or a link opened: checks the replay whole on a headless game, a
// few milliseconds at a time, then shows it on the page's canvas like a video, as the
// stage's Viewing, which holds every rule of watching. The player's program (play.cpp)
// reaches it through its RemoteWatched: the calls below are the stage::Watched's, and
// those that take `now` take the page's clock and return the milliseconds until the
// watched game next needs waking, -1 for never.
#include <emscripten/emscripten.h>

#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "sim/replay.h"
#include "sim/replay_show.h"
#include "stage/facts.h"
#include "stage/viewing.h"
#include "web/page_kept.h"
#include "web/page_view.h"

namespace {

using namespace tilerush;

// A check goes on for this long at a time, so that the player's game keeps its beat.
constexpr double kCheckSliceMs = 4;
constexpr std::int64_t kCheckStepMs = 1000;

// The watcher's program tells the page the watched replay's timeline and verdict; the
// mode and what the player asks are the player's program's to tell.
class WatcherView : public PageView {
 public:
  void show(Session& game) override {
    // A new replay's marks are told with its first timeline.
    marksTold_ = false;
    PageView::show(game);
  }
  void timeline(const stage::Timeline& timeline) override {
    std::string json = R"({"type":"timeline","now":)" + std::to_string(timeline.now) + R"(,"length":)" +
                       std::to_string(timeline.length) + R"(,"nowText":)" +
                       jsonString(stage::clockText(timeline.now)) + R"(,"lengthText":)" +
                       jsonString(stage::clockText(timeline.length)) + R"(,"playing":)" +
                       jsonBool(timeline.playing) + R"(,"speed":)" + std::to_string(timeline.speed) +
                       R"(,"over":)" + jsonBool(timeline.over);
    // The marks, only when they are new: a replay's marks stay as its check found them.
    if (!marksTold_ || timeline.marks != marks_) {
      marksTold_ = true;
      marks_ = timeline.marks;
      json += R"(,"marks":[)";
      for (std::size_t i = 0; i < marks_.size(); ++i) {
        if (i > 0) json += ',';
        json += R"({"kind":)" + jsonString(stage::markLook(marks_[i].kind).name) + R"(,"at":)" +
                std::to_string(marks_[i].at) + R"(,"atText":)" + jsonString(stage::clockText(marks_[i].at)) +
                '}';
      }
      json += ']';
    }
    tellPage(json + '}');
  }

  void verdict(const std::string& text, int status) override {
    tellPage(R"({"type":"over","text":)" + jsonString(text) + R"(,"status":)" + std::to_string(status) + '}');
  }
  void mode(stage::Mode, const stage::Buttons&) override {}
  void asked(stage::Request) override {}

 private:
  std::vector<sim::Mark> marks_;
  bool marksTold_ = false;
};

struct Watcher {
  // The bytes of the replay being checked, then of the one to watch.
  std::string script;
  std::unique_ptr<sim::ReplayCheck> check;
  sim::ReplayFacts facts;
  std::string said;
  WatcherView view;
  std::unique_ptr<stage::Viewing> viewing;
};

Watcher& watcher() {
  static Watcher w;
  return w;
}

double settled() {
  Watcher& w = watcher();
  w.view.paint();
  return w.viewing ? waitMs(w.viewing->wakeDelayNs()) : -1;
}

const char* said(std::string text) {
  watcher().said = std::move(text);
  return watcher().said.c_str();
}

// The player's kept games, which the page's script hands this program to check.
PageKept& keptGames() {
  static PageKept kept;
  return kept;
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
  w.check = std::make_unique<sim::ReplayCheck>(std::make_unique<std::istringstream>(w.script),
                                               stage::kLongestReplayMs);
}

// Carries the check on for a few milliseconds, and says how it stands, as JSON:
// {"state":"checking"}; {"state":"ready","firstSeed":"123","levels":...}, the seed null
// when the replay opens unseeded, the levels as replayLevelsJson; or
// {"state":"refused","why":"..."}.
EMSCRIPTEN_KEEPALIVE const char* tilerush_check_on() {
  Watcher& w = watcher();
  if (!w.check) return said(R"({"state":"refused","why":"no replay is being checked"})");
  const double start = emscripten_get_now();
  while (!w.check->proceed(kCheckStepMs)) {
    if (emscripten_get_now() - start > kCheckSliceMs) return R"({"state":"checking"})";
  }
  const std::string wrong = w.check->wrong();
  w.facts = w.check->facts();
  w.check.reset();
  if (!wrong.empty()) return said(R"({"state":"refused","why":)" + jsonString(wrong) + '}');
  const std::optional<std::uint64_t> seed = sim::firstSeed(w.script);
  return said(R"({"state":"ready","firstSeed":)" + (seed ? jsonString(std::to_string(*seed)) : "null") +
              R"(,"levels":)" + replayLevelsJson(w.script) + '}');
}

// ---- The stage's Watched, for the replay that passed its check ----

EMSCRIPTEN_KEEPALIVE double tilerush_start(double now) {
  Watcher& w = watcher();
  w.view.forget();
  w.viewing.reset();
  w.viewing = std::make_unique<stage::Viewing>(w.view, std::move(w.script), std::move(w.facts));
  w.script.clear();
  w.viewing->start(pageNs(now));
  return settled();
}

EMSCRIPTEN_KEEPALIVE double tilerush_key(int code, int repeat, double now) {
  if (stage::Viewing* v = watcher().viewing.get()) v->key(code, repeat != 0, pageNs(now));
  return settled();
}

EMSCRIPTEN_KEEPALIVE double tilerush_play_or_pause(double now) {
  if (stage::Viewing* v = watcher().viewing.get()) v->playOrPause(pageNs(now));
  return settled();
}

EMSCRIPTEN_KEEPALIVE double tilerush_speed(int index, double now) {
  if (stage::Viewing* v = watcher().viewing.get()) v->setSpeed(index, pageNs(now));
  return settled();
}

// The replay's game at game millisecond `t`.
EMSCRIPTEN_KEEPALIVE double tilerush_seek(double t, double now) {
  if (stage::Viewing* v = watcher().viewing.get()) v->seek(static_cast<std::int64_t>(t), pageNs(now));
  return settled();
}

EMSCRIPTEN_KEEPALIVE double tilerush_catch_up(double now) {
  if (stage::Viewing* v = watcher().viewing.get()) v->catchUp(pageNs(now));
  return settled();
}

EMSCRIPTEN_KEEPALIVE double tilerush_restart_clock(double now) {
  if (stage::Viewing* v = watcher().viewing.get()) v->restartClock(pageNs(now));
  return settled();
}

EMSCRIPTEN_KEEPALIVE double tilerush_wake_delay() {
  const stage::Viewing* v = watcher().viewing.get();
  return v ? waitMs(v->wakeDelayNs()) : -1;
}

// The replay is no longer watched: it is let go.
EMSCRIPTEN_KEEPALIVE void tilerush_close() {
  watcher().view.forget();
  watcher().viewing.reset();
}

// ---- The page ----

EMSCRIPTEN_KEEPALIVE void tilerush_repaint() { watcher().view.repaintAll(); }

// Whether the page hears a replay as it plays (at its normal speed).
EMSCRIPTEN_KEEPALIVE void tilerush_hear(int on) { watcher().view.hear(on != 0); }

// ---- The player's kept games (src/web/page_kept.h) ----

// Room for a replay or a list's text of `size` bytes, which the page's script fills in.
EMSCRIPTEN_KEEPALIVE char* tilerush_kept_buffer(int size) {
  keptGames().buffer.assign(static_cast<std::size_t>(size), '\0');
  return keptGames().buffer.data();
}

// The player's game in the buffer, ended as `ending` says (PageKept::Ending).
EMSCRIPTEN_KEEPALIVE void tilerush_kept_keep(int ending) {
  keptGames().keep(keptGames().buffer, static_cast<PageKept::Ending>(ending));
  keptGames().buffer = std::string();
}

// The list in the buffer: the page's stored list, or a file the player imported.
EMSCRIPTEN_KEEPALIVE void tilerush_kept_merge(int imported) {
  keptGames().merge(keptGames().buffer, imported != 0);
  keptGames().buffer = std::string();
}

EMSCRIPTEN_KEEPALIVE void tilerush_kept_forget(const char* id) { keptGames().forget(id ? id : ""); }

// A level set's text, read for the page's editor and its games (readLevelsJson).
EMSCRIPTEN_KEEPALIVE const char* tilerush_read_levels(const char* text) {
  static std::string said;
  said = readLevelsJson(text ? text : "");
  return said.c_str();
}

EMSCRIPTEN_KEEPALIVE const char* tilerush_kept_seed(const char* id) {
  static std::string said;
  said = keptGames().seedOf(id ? id : "");
  return said.c_str();
}
}
