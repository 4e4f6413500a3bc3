// The modes and where each event goes in them. In the player's own game, keys, the
// pointer, pads and leaving reach the game through Controls, as its own keys and
// clicks; while a replay is watched, the keys are the viewer's and reach no game.
#include "stage/stage.h"

#include <utility>

#include "game/keys.h"

namespace tilerush::stage {

Stage::Stage(View& view, Session::SeedSource seeds, std::optional<Recording> recording)
    : view_(view),
      own_(std::move(seeds)),
      recording_(std::move(recording)),
      hearing_(own_.form().addListener(*this)) {}

Stage::~Stage() {
  // The watched game goes first: it may still speak to the view as it goes.
  watched_.reset();
  own_.setInputLog(nullptr);
}

void Stage::playOwnGame(std::int64_t realNs) {
  watched_.reset();
  view_.show(own_);
  if (own_.isOpen()) {
    paced_.restartClock(realNs);
  } else {
    startRecording();
    own_.open();
    paced_.restartClock(realNs);
  }
  tellMode();
}

void Stage::watch(std::unique_ptr<Watched> replay, std::int64_t realNs) {
  if (!watched_) leaveOwnGame(realNs);
  settle();
  watched_ = std::move(replay);
  tellMode();
  watched_->start(realNs);
}

void Stage::playThisGame(std::int64_t realNs) {
  if (!watched_) return;
  if (const std::optional<std::uint64_t> seed = watched_->firstSeed())
    race(*seed, realNs, watched_->firstLevels());
}

void Stage::race(std::uint64_t seed, std::int64_t realNs, std::optional<levels::LevelChoice> levels) {
  clearForNewGame(realNs);
  own_.seedNextStartUp(seed);
  if (levels) own_.form().chooseLevels(std::move(levels->set), levels->firstMap);
  raced_ = true;
  challengeDay_.reset();
  openAfresh(realNs, "# race");
}

void Stage::playLevels(levels::LevelChoice choice, std::int64_t realNs) {
  clearForNewGame(realNs);
  own_.form().chooseLevels(std::move(choice.set), choice.firstMap);
  raced_ = false;
  challengeDay_.reset();
  openAfresh(realNs, "");
}

void Stage::challenge(kept::Day day, std::int64_t realNs) {
  clearForNewGame(realNs);
  own_.fixSeed(kept::challengeSeed(day));
  raced_ = false;
  challengeDay_ = day;
  openAfresh(realNs, "# challenge " + kept::dayText(day));
}

// What the game before held is let go, so that nothing of it steers the new one, and
// the game itself, if it had not ended, goes to the front end to keep if it ranks.
void Stage::clearForNewGame(std::int64_t realNs) {
  if (!watched_) leaveOwnGame(realNs);
  settle();
  if (recorder_ && own_.isOpen() && ending_ != Ending::HandedOver) {
    ending_ = Ending::HandedOver;
    view_.gameEnded(FinishedGame{recorded_ + recorder_->closing(), false});
  }
  watched_.reset();
  own_.restart();
}

void Stage::openAfresh(std::int64_t realNs, std::string mark) {
  mark_ = std::move(mark);
  startRecording();
  view_.show(own_);
  own_.open();
  paced_.restartClock(realNs);
  tellMode();
}

void Stage::tellMode() {
  Buttons buttons;
  if (watched_) {
    buttons.backToMyGame = true;
    buttons.playThisGame = watched_->firstSeed().has_value();
  }
  view_.mode(mode(), buttons);
}

// Whatever the player's game holds is let go at one instant, and play that runs
// pauses as if the player had left, so that nothing of it runs on unseen.
void Stage::leaveOwnGame(std::int64_t realNs) {
  if (!own_.isOpen()) return;
  for (int code : std::exchange(held_, {})) controls_.key(false, code, realNs);
  controls_.playerLeft(realNs);
}

void Stage::startRecording() {
  if (!recording_) return;
  own_.setInputLog(this);
  if (recording_->lines) {
    runLog_ = std::make_unique<sim::Recorder>(own_, recording_->lines, recording_->version,
                                              recording_->date ? recording_->date() : std::string());
    runLog_->markOpenings(mark_);
  }
  recordGame(false);
}

// A replay of the game about to open, or of the one that opened just now (after a
// click on "Game Over"), with its own header.
void Stage::recordGame(bool opened) {
  recorded_.clear();
  ending_ = Ending::Playing;
  recorder_ = std::make_unique<sim::Recorder>(
      own_,
      [this, fresh = true](std::string_view lines) mutable {
        recorded_ += lines;
        if (gameLines_) gameLines_(lines, std::exchange(fresh, false));
      },
      recording_->version, recording_->date ? recording_->date() : std::string());
  recorder_->markOpenings(mark_);
  if (opened) recorder_->opening(own_.startUpSeed().value_or(0));
}

void Stage::opening(std::uint64_t seed) {
  if (runLog_) runLog_->opening(seed);
  if (recorder_) recorder_->opening(seed);
}

namespace {

bool gameOverClick(const Input& input) {
  return input.kind == Input::Kind::Click && input.button == ButtonId::GameOver;
}

}  // namespace

void Stage::giving(const Input& input) {
  // The ended game goes out as it stands, before the click rebuilds the window.
  if (gameOverClick(input) && !own_.holding()) settle();
  if (runLog_) runLog_->giving(input);
  if (recorder_) recorder_->giving(input);
}

// A click on "Game Over" held through a lost ball's pause is carried out only at its
// end, after input given later: the game's replay then goes on across it, as the run's
// does, and still replays exactly.
void Stage::given(const Input& input, bool held, bool changedGame) {
  if (runLog_) runLog_->given(input, held, changedGame);
  if (gameOverClick(input) && !held && changedGame) {
    // A race's later games seed from the clock again: they are plain games.
    if (!challengeDay_) mark_.clear();
    return recordGame(true);
  }
  if (recorder_) recorder_->given(input, held, changedGame);
}

void Stage::handOver() {
  ending_ = Ending::HandedOver;
  view_.gameEnded(FinishedGame{recorded_ + recorder_->closing(), true});
}

void Stage::settle() {
  if (ending_ == Ending::Over && recorder_) handOver();
}

void Stage::keyDown(int code, int shift, bool repeat, std::int64_t realNs) {
  if (!repeat) askedOfFrontEnd(code, shift);
  if (watched_) {
    watched_->key(code, repeat, realNs);
  } else if (own_.isOpen()) {
    held_.insert(code);
    controls_.key(true, code, realNs);
    settle();
  }
}

void Stage::keyUp(int code, int, std::int64_t realNs) {
  // A key let go while watching was pressed for the viewer, or let go already.
  if (!playing() || held_.erase(code) == 0) return;
  controls_.key(false, code, realNs);
  settle();
}

void Stage::askedOfFrontEnd(int code, int shift) {
  if (code == kKeyM) view_.asked(Request::ToggleSound);
  if (code == kKeyF11 || (code == kKeyEnter && (shift & kAltHeld) != 0))
    view_.asked(Request::ToggleFullScreen);
  if (code == kKeyEscape) view_.asked(Request::LeaveFullScreen);
}

void Stage::pointerAt(std::optional<GamePoint> at, std::int64_t realNs) {
  if (!playing()) return;
  controls_.pointerAt(at, realNs);
  settle();
}

void Stage::padSteers(Steer steer, std::int64_t realNs) {
  if (!playing()) return;
  controls_.padSteers(steer, realNs);
  settle();
}

void Stage::padStart(std::int64_t realNs) {
  if (!playing()) return;
  controls_.padStart(realNs);
  settle();
}

void Stage::padA(std::int64_t realNs) {
  if (!playing()) return;
  controls_.padA(realNs);
  settle();
}

void Stage::playerLeft(std::int64_t realNs) {
  if (!playing()) return;
  leaveOwnGame(realNs);
  settle();
}

void Stage::click(ButtonId button, std::int64_t realNs) {
  if (!playing()) return;
  paced_.give(Input::click(button), realNs);
  settle();
}

void Stage::playOrPause(std::int64_t realNs) {
  if (watched_) watched_->playOrPause(realNs);
}

void Stage::setSpeed(int index, std::int64_t realNs) {
  if (watched_) watched_->setSpeed(index, realNs);
}

void Stage::seek(std::int64_t t, std::int64_t realNs) {
  if (watched_) watched_->seek(t, realNs);
}

void Stage::wake(std::int64_t realNs) {
  if (watched_) {
    watched_->catchUp(realNs);
  } else {
    paced_.catchUp(realNs);
    settle();
  }
}

void Stage::resume(std::int64_t realNs) {
  if (watched_) {
    watched_->restartClock(realNs);
  } else {
    paced_.restartClock(realNs);
  }
}

std::optional<std::int64_t> Stage::wakeDelayNs() const {
  return watched_ ? watched_->wakeDelayNs() : paced_.wakeDelayNs();
}

std::string Stage::replaySoFar(std::int64_t realNs) {
  if (!recorder_) return {};
  if (playing()) paced_.catchUp(realNs);
  settle();
  return recorded_ + recorder_->closing();
}

std::optional<FinishedGame> Stage::gameInProgress(std::int64_t realNs) {
  if (!recorder_ || !own_.isOpen()) return std::nullopt;
  if (playing()) paced_.catchUp(realNs);
  settle();
  if (ending_ == Ending::HandedOver) return std::nullopt;
  return FinishedGame{recorded_ + recorder_->closing(), false};
}

void Stage::finishRecording(std::int64_t realNs) {
  if (!recorder_) return;
  if (playing()) paced_.catchUp(realNs);
  settle();
  if (runLog_) runLog_->finish();
  own_.setInputLog(nullptr);
  runLog_.reset();
  recorder_.reset();
}

void Stage::happened(Happening what, double before, double after) {
  // Told from inside the tick that ended the game: its replay is closed once the
  // event is over, when the input held through the last pause has been carried out.
  if (what == Happening::GameOver && ending_ == Ending::Playing) ending_ = Ending::Over;
  if (!watched_) view_.happened(what, before, after);
}

}  // namespace tilerush::stage
