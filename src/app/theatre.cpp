// Watching a replay in the window: the viewer's keys and the timeline's controls
// become the show's calls, given at the real instant they happen.
#include "app/theatre.h"

#include <QAccessible>

namespace tilerush {
namespace {

constexpr int kFollowMs = 100;

// Steps and jumps repeat while their key is held, as a video player's do; the rest
// act once a press.
bool repeats(sim::TheatreKey key) {
  using sim::TheatreKey;
  return key == TheatreKey::StepOn || key == TheatreKey::StepBack || key == TheatreKey::Back ||
         key == TheatreKey::On;
}

// A screen reader hears the counters again after a jump, as it does when play changes them.
void announceReadouts(Canvas& canvas) {
  if (!QAccessible::isActive()) return;
  for (std::size_t i = 0; i < canvas.readouts().size(); ++i) {
    QAccessibleEvent event(&canvas, QAccessible::NameChanged);
    event.setChild(static_cast<int>(i));
    QAccessible::updateAccessibility(&event);
  }
}

}  // namespace

Theatre::Theatre(QtGame& game, CheckedReplay replay, GameListener* hearing, std::ostream& out)
    : game_(game),
      hearing_(hearing),
      out_(out),
      timeline_(new ReplayTimeline(replay.facts.length, replay.facts.marks)) {
  // A replay that opens unseeded has no first draws to race on.
  timeline_->raceButton().setEnabled(sim::firstSeed(replay.script).has_value());
  game_.takePlayerInput(false);
  game_.window().setBar(timeline_);
  runningAhead(true);
  show_ = std::make_unique<sim::ReplayShow>(
      game_.paced(), std::move(replay.script), std::move(replay.facts),
      [this](const std::string& verdict, int) { ended(verdict); },
      [this](bool ahead) { runningAhead(ahead); });
  runningAhead(false);

  follow_.setInterval(kFollowMs);
  connect(&follow_, &QTimer::timeout, this, [this] {
    timeline_->showTime(show_->now());
    if (!show_->playing()) follow_.stop();
  });
  connect(&game_.window(), &GameWindow::keyDown, this, [this](int code, int) { keyDown(code); });
  connect(&game_.window(), &GameWindow::keyUp, this, [this](int code, int) { held_.erase(code); });
  connect(timeline_, &ReplayTimeline::seekAsked, this, &Theatre::seek);
  connect(timeline_, &ReplayTimeline::playOrPauseAsked, this, &Theatre::playOrPause);
  connect(timeline_, &ReplayTimeline::speedAsked, this, &Theatre::setSpeed);
  connect(timeline_, &ReplayTimeline::raceAsked, this, &Theatre::raceAsked);

  if (!game_.window().isVisible()) game_.show();
  show_->play(game_.realNs());
  settle();
}

Theatre::~Theatre() {
  show_.reset();
  // Whatever comes next runs at its own pace.
  game_.paced().setRate(sim::kSpeeds[sim::kNormalSpeed], game_.realNs());
  game_.paced().go(game_.realNs());
  game_.window().setBar(nullptr);
  delete timeline_;
  if (hearing_) game_.form().setListener(hearing_);
  game_.takePlayerInput(true);
}

void Theatre::keyDown(int code) {
  const sim::TheatreKey key = sim::theatreKeyOf(code);
  if (key == sim::TheatreKey::None) return;
  if (!held_.insert(code).second && !repeats(key)) return;
  show_->key(code, game_.realNs());
  settle();
}

void Theatre::seek(std::int64_t ms) {
  show_->seek(ms, game_.realNs());
  settle();
}

void Theatre::playOrPause() {
  if (show_->playing()) {
    show_->pause();
  } else {
    show_->play(game_.realNs());
  }
  settle();
}

void Theatre::setSpeed(int index) {
  show_->setSpeed(index, game_.realNs());
  settle();
}

void Theatre::ended(const std::string& verdict) {
  out_ << verdict << '\n';
  out_.flush();
  timeline_->showVerdict(QString::fromStdString(verdict));
  // Told from within the show's own making too, for a replay that ends where it starts.
  timeline_->showTime(game_.session().now());
  timeline_->showPlaying(false);
}

void Theatre::runningAhead(bool ahead) {
  Display& display = game_.display();
  if (ahead) {
    display.removeObserver(&game_.window());
    game_.form().setListener(nullptr);
    return;
  }
  display.addObserver(&game_.window());
  game_.window().displayRebuilt();
  announceReadouts(game_.window().canvas());
  hearAtNormalSpeed();
}

// Sound belongs to the replay at its own pace: sped up or slowed down it would be noise.
void Theatre::hearAtNormalSpeed() {
  const bool normal = !show_ || show_->speed() == sim::kNormalSpeed;
  game_.form().setListener(normal ? hearing_ : nullptr);
}

void Theatre::settle() {
  hearAtNormalSpeed();
  game_.wakeAtNextDue();
  timeline_->showTime(show_->now());
  timeline_->showPlaying(show_->playing());
  timeline_->showSpeed(show_->speed());
  if (show_->playing() && !follow_.isActive()) follow_.start();
}

}  // namespace tilerush
