// The one application core both front ends adapt: the player's game with its controls
// and its recording, a replay being watched, and the mode the player is in. It takes
// the toolkit-neutral events a front end turns its own into, routes each to where it
// belongs in the present mode, and tells the front end through its View what to show.
// Every rule of the modes, the controls and watching is here, once.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "controls/controls.h"
#include "game/hook.h"
#include "game/ids.h"
#include "game/keys.h"
#include "game/paced_game.h"
#include "game/session.h"
#include "kept/challenge.h"
#include "levels/level_set.h"
#include "sim/recorder.h"
#include "stage/view.h"
#include "stage/watched.h"

namespace tilerush::stage {

// How the player's games are recorded as replays: each game as a replay of its own,
// from its start to "Game Over", with the game's `version` and the `date` of its
// start, kept whole by the stage (replaySoFar, View::gameEnded). Where `lines` is given,
// it gets the whole run of the program as one continuous replay as well, a line as it
// is made, each game after "Game Over" named by a `seed` line before the click.
struct Recording {
  std::string version;
  std::function<std::string()> date;
  sim::Recorder::LineSink lines;
};

class Stage : private GameListener, private InputLog {
 public:
  // `seeds` gives the random seed of each start-up of the player's game that no replay
  // fixes; without `recording` nothing is recorded.
  Stage(View& view, Session::SeedSource seeds, std::optional<Recording> recording = std::nullopt);
  Stage(const Stage&) = delete;
  Stage& operator=(const Stage&) = delete;
  ~Stage() override;

  // ---- Modes ----

  // The player's own game, shown from real instant `realNs` on: opened from its start
  // the first time, and going on from where it stood after that ("Back to my game").
  // A replay being watched is let go.
  void playOwnGame(std::int64_t realNs);
  // Watches `replay`, shown and playing from its start; the player's own game, if
  // open, first lets go of what it holds and pauses as if the player had left.
  void watch(std::unique_ptr<Watched> replay, std::int64_t realNs);
  // "Play this game": a new game of the player's own on the watched replay's first
  // draws, in place of the game before, recorded afresh. Nothing for a replay that
  // opens unseeded, or while none is watched.
  void playThisGame(std::int64_t realNs);
  // A new game of the player's own on the first draws of `seed`, in place of the game
  // before, recorded afresh: what "Play this game" does with the watched replay's seed
  // and, for a replay on a level set of its own, its `levels`.
  void race(std::uint64_t seed, std::int64_t realNs,
            std::optional<levels::LevelChoice> levels = std::nullopt);
  // A new game of the player's own on a level set, from its map `choice.firstMap`, in
  // place of the game before, recorded afresh; every new game after its "Game Over" is
  // on the set again, until another game (a race, a challenge) is chosen.
  void playLevels(levels::LevelChoice choice, std::int64_t realNs);
  // Today's challenge (or another day's): a new game of the player's own on the day's
  // seed, in place of the game before, recorded afresh; every new game after its
  // "Game Over" is on the day's seed again. Its replays say `# challenge YYYY-MM-DD`.
  void challenge(kept::Day day, std::int64_t realNs);

  // ---- Input, each at real instant `realNs` (nanoseconds from any fixed origin) ----

  // A key went down, again when `repeat` (it is held); `shift` as kShiftHeld and so on
  // (game/keys.h).
  void keyDown(int code, int shift, bool repeat, std::int64_t realNs);
  void keyUp(int code, int shift, std::int64_t realNs);
  // The mouse or a finger at `at` over the game area; none once it left or was lifted.
  void pointerAt(std::optional<GamePoint> at, std::int64_t realNs);
  // A pad's d-pad or stick steers `steer`, or its Start or A button was pressed.
  void padSteers(Steer steer, std::int64_t realNs);
  void padStart(std::int64_t realNs);
  void padA(std::int64_t realNs);
  // The player went elsewhere (another window, tab or program took the keyboard, or
  // the page was hidden).
  void playerLeft(std::int64_t realNs);
  // A click on one of the game's push buttons.
  void click(ButtonId button, std::int64_t realNs);

  // ---- The viewer's controls, while a replay is watched ----

  void playOrPause(std::int64_t realNs);
  void setSpeed(int index, std::int64_t realNs);
  void seek(std::int64_t t, std::int64_t realNs);

  // ---- The clock of the game shown ----

  // Brings it up to `realNs`: every tick due by then fires.
  void wake(std::int64_t realNs);
  // It goes on from `realNs` as if no real time had passed: the game was not shown.
  void resume(std::int64_t realNs);
  // Real nanoseconds until it must next be woken; none while nothing falls due.
  std::optional<std::int64_t> wakeDelayNs() const;

  // ---- Reading ----

  Mode mode() const { return watched_ ? Mode::Watching : Mode::Playing; }
  // Whether the player's game runs on a replay's first draws ("Play this game").
  bool raced() const { return raced_; }
  // The day whose challenge the player's game is, if it is one.
  std::optional<kept::Day> challengeDay() const { return challengeDay_; }
  Session& ownGame() { return own_; }
  const Session& ownGame() const { return own_; }
  PacedGame& ownPaced() { return paced_; }
  Controls& controls() { return controls_; }
  Watched* watched() { return watched_.get(); }
  View& view() { return view_; }
  // The player's game as a replay so far, from its own header, complete: what was
  // recorded, and what ends it at `realNs` (at the instant its clock stands, while it
  // is not shown). Empty without a recording.
  std::string replaySoFar(std::int64_t realNs);
  // The game in progress at `realNs`, for the front end to keep as the program closes
  // or the page is hidden; none without a recording, before the first game, or once
  // its "Game Over" handed it over already.
  std::optional<FinishedGame> gameInProgress(std::int64_t realNs);
  // From the next game on, `sink` gets each game's own replay as it is made (the lines
  // replaySoFar and gameEnded hold, but for the closing ones): `fresh` is true for the
  // first lines of a new game, so that a front end writing games as they go starts a
  // new file there.
  using GameLines = std::function<void(std::string_view lines, bool fresh)>;
  void hearGameLines(GameLines sink) { gameLines_ = std::move(sink); }
  // Ends the recording: the run's last lines go out; the game is not recorded further.
  void finishRecording(std::int64_t realNs);

 private:
  void happened(Happening what, double before, double after) override;
  void askedOfFrontEnd(int code, int shift);
  // InputLog: the run's continuous replay and the game's own both hear the input;
  // a click on "Game Over" ends the one game's replay and begins the next.
  void opening(std::uint64_t seed) override;
  void giving(const Input& input) override;
  void given(const Input& input, bool held, bool changedGame) override;

  void startRecording();
  void recordGame(bool opened);
  void handOver();
  // Hands over a game that ended at "Game Over" during the event just handled.
  void settle();
  void clearForNewGame(std::int64_t realNs);
  void openAfresh(std::int64_t realNs, std::string mark);
  void leaveOwnGame(std::int64_t realNs);
  void tellMode();
  bool playing() const { return !watched_ && own_.isOpen(); }

  View& view_;
  Session own_;
  PacedGame paced_{own_};
  Controls controls_{paced_};
  std::optional<Recording> recording_;
  // The game in progress as a replay of its own, and its recorder.
  std::string recorded_;
  std::unique_ptr<sim::Recorder> recorder_;
  GameLines gameLines_;
  // The whole run, to Recording::lines.
  std::unique_ptr<sim::Recorder> runLog_;
  enum class Ending { Playing, Over, HandedOver };
  Ending ending_ = Ending::Playing;
  // The comment line that says what kind of game the next one is.
  std::string mark_;
  std::optional<kept::Day> challengeDay_;
  std::unique_ptr<Watched> watched_;
  // The keys down in the player's game, let go when the player leaves or watches.
  std::set<int> held_;
  bool raced_ = false;
  Hook hearing_;
};

}  // namespace tilerush::stage
