// The browser page's program: the stage, with the player's game always recorded as a
// replay, driven by the page's script through the functions below (web/crossing.js
// names them). Those that take `now` take the page's clock (performance.now(), in
// milliseconds) and return the milliseconds until the script should wake the stage
// again, -1 for never. A replay is watched in the watcher's program, loaded apart,
// which the stage reaches through RemoteWatched.
#include <emscripten/emscripten.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "levels/level_set.h"
#include "stage/stage.h"
#include "version.h"
#include "web/page_view.h"
#include "web/remote_watched.h"

extern "C" {
void tr_game_ended(const char* replay, int over);
}

namespace {

using namespace tilerush;

// The player's program tells the page the mode and what the player asked of it; a
// watched replay's timeline and verdict come from the watcher's program.
class PlayerView : public PageView {
 public:
  // The stage whose mode this tells, once it is made.
  void tellOf(const stage::Stage& stage) { stage_ = &stage; }

  void mode(stage::Mode mode, const stage::Buttons& buttons) override {
    // While a replay is watched, the watcher's program draws on the canvas.
    if (mode == stage::Mode::Watching) forget();
    tellPage(std::string(R"({"type":"mode","mode":)") +
             (mode == stage::Mode::Watching ? R"("watching")" : R"("playing")") +
             R"(,"buttons":{"backToMyGame":)" + jsonBool(buttons.backToMyGame) + R"(,"playThisGame":)" +
             jsonBool(buttons.playThisGame) + R"(},"raced":)" + jsonBool(stage_ && stage_->raced()) + '}');
  }
  void asked(stage::Request request) override {
    const char* name = request == stage::Request::ToggleSound        ? "toggleSound"
                       : request == stage::Request::ToggleFullScreen ? "toggleFullScreen"
                                                                     : "leaveFullScreen";
    tellPage(std::string(R"({"type":"asked","request":")") + name + "\"}");
  }
  void timeline(const stage::Timeline&) override {}
  void verdict(const std::string&, int) override {}
  // To the list of kept games, in the watcher's program (src/web/page_kept.h).
  void gameEnded(const stage::FinishedGame& game) override {
    tr_game_ended(game.replay.c_str(), game.over ? 1 : 0);
  }

 private:
  const stage::Stage* stage_ = nullptr;
};

struct Page {
  Page() { view.tellOf(stage); }
  PlayerView view;
  stage::Stage stage{view, pageClockSeed, stage::Recording{kVersion, utcNow, nullptr}};
  // The last replay handed to the page, kept until the next.
  std::string saved;
  // The game in progress as the page was last hidden.
  std::string soFar;
  // The level set last taken.
  std::optional<levels::LevelSet> levels;
};

Page& page() {
  static Page p;
  return p;
}

stage::Stage& theStage() { return page().stage; }

// After each call: what changed drawn, and the next wake-up.
double settled() {
  page().view.paint();
  return waitMs(theStage().wakeDelayNs());
}

// The set last taken, from its map `firstMap`; none for 0 (the game's own maps) or
// before a set was taken. A map past the set's count starts from its first.
std::optional<levels::LevelChoice> chosenLevels(int firstMap) {
  const std::optional<levels::LevelSet>& set = page().levels;
  if (firstMap == 0 || !set) return std::nullopt;
  const int count = static_cast<int>(set->maps.size());
  return levels::LevelChoice{*set, firstMap >= 1 && firstMap <= count ? firstMap : 1};
}

// A seed's decimal digits, written by the page's own programs, read without the C
// library's readers.
std::optional<std::uint64_t> seedOf(const char* digits) {
  if (!digits) return std::nullopt;
  std::uint64_t seed = 0;
  for (const char* c = digits; *c >= '0' && *c <= '9'; ++c)
    seed = seed * 10 + static_cast<unsigned>(*c - '0');
  return seed;
}

Steer steerOf(int direction) {
  if (direction < 0) return Steer::Left;
  return direction > 0 ? Steer::Right : Steer::None;
}

}  // namespace

extern "C" {

// The player's own game, shown from now on: opened the first time, and going on from
// where it stood after a replay.
EMSCRIPTEN_KEEPALIVE double tilerush_play_own_game(double now) {
  theStage().playOwnGame(pageNs(now));
  return settled();
}

// The clock's wake-up: fires what fell due since the last one.
EMSCRIPTEN_KEEPALIVE double tilerush_wake(double now) {
  theStage().wake(pageNs(now));
  return settled();
}

// The page was hidden, and the game with it: it goes on from where it was.
EMSCRIPTEN_KEEPALIVE double tilerush_resume(double now) {
  theStage().resume(pageNs(now));
  return settled();
}

// A key went down (again, when `repeat`: it is held) or up; `code` is the game's key
// code, `shift` the shift state as the stage takes it.
EMSCRIPTEN_KEEPALIVE double tilerush_key_down(int code, int shift, int repeat, double now) {
  theStage().keyDown(code, shift, repeat != 0, pageNs(now));
  return settled();
}

EMSCRIPTEN_KEEPALIVE double tilerush_key_up(int code, int shift, double now) {
  theStage().keyUp(code, shift, pageNs(now));
  return settled();
}

// The mouse or a finger at (`x`, `y`), in pixels of the game area's layout from its
// top-left corner, when `on`; otherwise it has left the game area or been lifted.
EMSCRIPTEN_KEEPALIVE double tilerush_pointer(int on, double x, double y, double now) {
  std::optional<GamePoint> at;
  if (on) at = GamePoint{x * kTwipsPerPixel, y * kTwipsPerPixel};
  theStage().pointerAt(at, pageNs(now));
  return settled();
}

// The pads' d-pad or stick steer left (-1), right (1) or not at all (0) now.
EMSCRIPTEN_KEEPALIVE double tilerush_pad(int direction, double now) {
  theStage().padSteers(steerOf(direction), pageNs(now));
  return settled();
}

EMSCRIPTEN_KEEPALIVE double tilerush_pad_start(double now) {
  theStage().padStart(pageNs(now));
  return settled();
}

EMSCRIPTEN_KEEPALIVE double tilerush_pad_a(double now) {
  theStage().padA(pageNs(now));
  return settled();
}

// The player went elsewhere.
EMSCRIPTEN_KEEPALIVE double tilerush_left(double now) {
  theStage().playerLeft(pageNs(now));
  return settled();
}

// How far from its centre a pad's stick must be held to steer, as a share of its
// travel: the page reads the pads, and sends only the changes of where they steer.
EMSCRIPTEN_KEEPALIVE double tilerush_stick_dead_zone() { return kStickDeadZone; }

// A click on the page's push button `id`.
EMSCRIPTEN_KEEPALIVE double tilerush_click(int id, double now) {
  if (std::optional<ButtonId> button = page().view.button(id)) theStage().click(*button, pageNs(now));
  return settled();
}

// The timeline's controls, while a replay is watched.
EMSCRIPTEN_KEEPALIVE double tilerush_play_or_pause(double now) {
  theStage().playOrPause(pageNs(now));
  return settled();
}

EMSCRIPTEN_KEEPALIVE double tilerush_speed(int index, double now) {
  theStage().setSpeed(index, pageNs(now));
  return settled();
}

EMSCRIPTEN_KEEPALIVE double tilerush_seek(double t, double now) {
  theStage().seek(static_cast<std::int64_t>(t), pageNs(now));
  return settled();
}

// Watches the replay the watcher's program has checked, which opens with `firstSeed`
// (its decimal digits, or null when it opens unseeded).
EMSCRIPTEN_KEEPALIVE double tilerush_watch(const char* firstSeed, int firstMap, double now) {
  theStage().watch(std::make_unique<RemoteWatched>(seedOf(firstSeed), chosenLevels(firstMap)), pageNs(now));
  return settled();
}

// "Play this game": a new game of the player's own on the watched replay's first draws.
EMSCRIPTEN_KEEPALIVE double tilerush_play_this_game(double now) {
  theStage().playThisGame(pageNs(now));
  return settled();
}

// The canvas has new pixels (another scale or size): draw everything again.
EMSCRIPTEN_KEEPALIVE void tilerush_repaint() { page().view.repaintAll(); }

// The player's game so far as a replay file, as the window records one: UTF-8.
EMSCRIPTEN_KEEPALIVE const char* tilerush_save(double now) {
  page().saved = theStage().replaySoFar(pageNs(now));
  return page().saved.c_str();
}

// What a link made now holds, as JSON: {"replay":"watched"}, the replay being
// watched, whose bytes the page's script has; or {"replay":"own"}, the player's game
// so far, which tilerush_save gives.
EMSCRIPTEN_KEEPALIVE const char* tilerush_link_source() {
  return theStage().mode() == stage::Mode::Watching ? R"({"replay":"watched"})" : R"({"replay":"own"})";
}

// Whether the page hears the player's game: its sound is on and its cues are ready.
EMSCRIPTEN_KEEPALIVE void tilerush_hear(int on) { page().view.hear(on != 0); }

// "Today's challenge": a new game on the seed of `day` (YYYY-MM-DD, the page's UTC
// date), and every game after its "Game Over" on it again. A day the page cannot have
// meant is taken as today in UTC by the program's own clock.
EMSCRIPTEN_KEEPALIVE double tilerush_challenge(const char* day, double now) {
  const std::optional<kept::Day> chosen = kept::parseDay(day ? day : "");
  theStage().challenge(chosen ? *chosen : kept::dayInUtc(std::chrono::system_clock::now()), pageNs(now));
  return settled();
}

// A new game of the player's own on the first draws of `seed` (decimal digits): a kept
// game raced.
EMSCRIPTEN_KEEPALIVE double tilerush_race(const char* seed, int firstMap, double now) {
  if (std::optional<std::uint64_t> s = seedOf(seed)) theStage().race(*s, pageNs(now), chosenLevels(firstMap));
  return settled();
}

// The set the next game on a set is played on: its title and its maps' digits one after
// another, as the watcher's program read them with the one reader of sets (the player's
// program stays small). 1 when they make a set, 0 when not.
EMSCRIPTEN_KEEPALIVE int tilerush_take_levels(const char* title, const char* digits) {
  page().levels = levels::setOfDigits(title ? title : "", digits ? digits : "");
  return page().levels ? 1 : 0;
}

// A new game of the player's own on the set last taken, from its map `firstMap` (the map
// being edited), in place of the game before; each game after "Game Over" on it too.
EMSCRIPTEN_KEEPALIVE double tilerush_play_levels(int firstMap, double now) {
  if (std::optional<levels::LevelChoice> choice = chosenLevels(firstMap))
    theStage().playLevels(std::move(*choice), pageNs(now));
  return settled();
}

// The page is being hidden: the game in progress as a replay so far, to keep if it
// ranks (the page may never be shown again, and a browser may skip its unload); empty
// when there is none to keep.
EMSCRIPTEN_KEEPALIVE const char* tilerush_in_progress(double now) {
  std::optional<stage::FinishedGame> game = theStage().gameInProgress(pageNs(now));
  page().soFar = game ? std::move(game->replay) : std::string();
  return page().soFar.c_str();
}
}
