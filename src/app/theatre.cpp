// The timeline's controls become the stage's calls, given at the real instant they
// happen; what the stage tells of the watched replay is shown on the timeline.
#include "app/theatre.h"

#include <memory>
#include <utility>

namespace tilerush {

Theatre::Theatre(QtGame& game, CheckedReplay replay, std::ostream& out)
    : game_(game), out_(out), timeline_(new ReplayTimeline) {
  connect(&game_, &QtGame::modeChanged, this, &Theatre::modeChanged);
  connect(&game_, &QtGame::timelineChanged, timeline_, &ReplayTimeline::showTimeline);
  connect(&game_, &QtGame::verdictReached, this, &Theatre::ended);
  stage::Stage& stage = game_.stage();
  connect(timeline_, &ReplayTimeline::seekAsked, this,
          [this, &stage](std::int64_t ms) { game_.act([&](std::int64_t ns) { stage.seek(ms, ns); }); });
  connect(timeline_, &ReplayTimeline::playOrPauseAsked, this,
          [this, &stage] { game_.act([&](std::int64_t ns) { stage.playOrPause(ns); }); });
  connect(timeline_, &ReplayTimeline::speedAsked, this,
          [this, &stage](int index) { game_.act([&](std::int64_t ns) { stage.setSpeed(index, ns); }); });
  // Not from within the button's own click: the bar it sits on leaves the window.
  connect(timeline_, &ReplayTimeline::backAsked, this, &Theatre::backToMyGame, Qt::QueuedConnection);
  connect(timeline_, &ReplayTimeline::raceAsked, this, &Theatre::playThisGame, Qt::QueuedConnection);

  auto viewing =
      std::make_unique<stage::Viewing>(game_.view(), std::move(replay.script), std::move(replay.facts));
  stage::Viewing* watched = viewing.get();
  game_.act([&](std::int64_t ns) { stage.watch(std::move(viewing), ns); });
  viewing_ = watched;
  if (!game_.window().isVisible()) game_.show();
}

Theatre::~Theatre() {
  game_.window().setBar(nullptr);
  delete timeline_;
}

void Theatre::playThisGame() {
  game_.act([&](std::int64_t ns) {
    game_.stage().playThisGame(ns);
    // Its start-up took a few milliseconds, not of the new game's own time.
    game_.stage().resume(game_.realNs());
  });
}

void Theatre::backToMyGame() { game_.open(); }

void Theatre::modeChanged(stage::Mode mode, const stage::Buttons& buttons) {
  timeline_->showButtons(buttons);
  if (mode == stage::Mode::Watching) {
    game_.window().setBar(timeline_);
    return;
  }
  viewing_ = nullptr;
  game_.window().setBar(nullptr);
  // The player's own game takes the keys again.
  game_.window().setFocus();
}

void Theatre::ended(const std::string& verdict, int status) {
  status_ = status;
  timeline_->showVerdict(QString::fromStdString(verdict));
  if (std::exchange(said_, true)) return;
  out_ << verdict << '\n';
  out_.flush();
}

}  // namespace tilerush
