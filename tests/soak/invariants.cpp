// The invariant checks: a few comparisons after each event, a full count after each start-up.
#include "invariants.h"

#include <algorithm>
#include <cstring>
#include <sstream>

namespace tilerush::soak {
namespace {

constexpr std::size_t kBrickSlots = 501;  // the hidden template and cells 1 to 500
constexpr std::size_t kLogoBalls = 3;
constexpr int kFirstBrickRow = 3;
constexpr int kLastBrickRow = 12;
constexpr int kBoardColumns = 20;
constexpr std::size_t kKeptBreaches = 10;
// Logo balls are clamped in double and stored as floats, which may round a
// hair past the box's edge.
constexpr double kFloatSlack = 0.01;

const char* eventName(GameEvent event) {
  switch (event) {
    case GameEvent::Open:
      return "open";
    case GameEvent::Tick:
      return "tick";
    case GameEvent::Key:
      return "key";
    case GameEvent::Click:
      return "click";
    case GameEvent::PauseEnd:
      return "pause end";
  }
  return "?";
}

std::size_t membersOf(const ElementArray& array) {
  std::size_t count = 0;
  for (const Element* member : array.byIndex()) count += member != nullptr;
  return count;
}

}  // namespace

void InvariantChecker::afterEvent(GameEvent event, std::string_view name) {
  ++events_;
  event_ = event;
  eventTarget_ = name;
  bool startUp = event == GameEvent::Open || (event == GameEvent::Click && name == "gameover");
  if (startUp) checkStartUp();
  trackMarkers(startUp);
  checkLivesAndMarkers();
  checkCells();
  checkPlayfield();
  checkLogo();
  checkTimersAndButtons();
}

void InvariantChecker::findElements() {
  const Display& display = session_.display();
  ball_ = display.find("ball");
  paddle_ = display.find("paddle");
  logobox_ = display.find("logobox");
  gameover_ = display.find("gameover");
  timers_[0] = display.find("Timer1");
  timers_[1] = display.find("Timer2");
  timers_[2] = display.find("Timer3");
  bricks_ = display.array("brick");
  logoballs_ = display.array("logoball");
  lifeMarkers_ = display.array("life");
}

void InvariantChecker::checkStartUp() {
  ++startUps_;
  findElements();
  if (membersOf(*bricks_) != kBrickSlots || bricks_->byIndex().size() != kBrickSlots)
    breach("start-up left " + std::to_string(membersOf(*bricks_)) + " brick cells, not 501");
  if (membersOf(*logoballs_) != kLogoBalls || logoballs_->byIndex().size() != kLogoBalls)
    breach("start-up left " + std::to_string(membersOf(*logoballs_)) + " logo balls, not 3");
  const GameState& s = session_.state();
  if (s.lives != 3 || s.points != 0 || s.levelno != 1 || s.mapno != 1)
    breach("a new game does not start with 3 lives, no points, level 1, map 1");
  if (s.bricksleft != 120 || s.brickcount != 120)
    breach("a new game does not lay out the 120 bricks of map 1");
  const Element& board = *session_.display().find("board");
  if (s.leftedge != board.left() || s.topedge != board.top() || s.rightedge != board.left() + board.width() ||
      s.bottomedge != board.top() + board.height())
    breach("the limits of play are not the board's edges");
  for (const char* button : {"pause", "nextlevel", "gameover"}) {
    if (session_.display().find(button)->visible()) breach(std::string(button) + " shown after start-up");
  }
}

// A hit shows the marker of `lives`; a level start adds a life without showing its
// marker; a lost ball hides the marker of the life it takes.
void InvariantChecker::trackMarkers(bool startUp) {
  const GameState& s = session_.state();
  if (startUp) {
    unshownLives_.reset();
  } else if (s.points > lastPoints_) {
    if (s.lives >= 1 && s.lives <= 6) unshownLives_.reset(static_cast<std::size_t>(s.lives));
  } else if (s.lives > lastLives_ && s.lives <= 6) {
    unshownLives_.set(static_cast<std::size_t>(s.lives));
  }
  for (int i = s.lives + 1; i <= 6; ++i) {
    if (i >= 1) unshownLives_.reset(static_cast<std::size_t>(i));
  }
  lastPoints_ = s.points;
  lastLives_ = s.lives;
}

void InvariantChecker::checkLivesAndMarkers() {
  const GameState& s = session_.state();
  if (s.lives < 0 || s.lives > 6) breach("lives " + std::to_string(s.lives) + " outside 0..6");
  if (s.paddledir != 0 && s.paddledir != 1 && s.paddledir != 2)
    breach("paddledir " + std::to_string(s.paddledir) + " is not 0, 1 or 2");
  for (int i = 1; i <= 6; ++i) {
    bool expected = i <= s.lives && !unshownLives_.test(static_cast<std::size_t>(i));
    if (lifeMarkers_->member(i)->visible() != expected) {
      breach("life marker " + std::to_string(i) + (expected ? " hidden" : " shown") + " with " +
             std::to_string(s.lives) + " lives");
    }
  }
}

// A copy with the board's brick rows cleared must be all zeros. One copy and one
// comparison of the whole table cost far less under the sanitizers than a check of
// its thousand entries one by one.
void InvariantChecker::checkCells() {
  using Table = decltype(GameState::cellval);
  static const Table zeros{};
  Table outside = session_.state().cellval;
  for (int column = 1; column <= kBoardColumns; ++column) {
    auto& rows = outside[static_cast<std::size_t>(column)];
    std::fill(rows.begin() + kFirstBrickRow, rows.begin() + kLastBrickRow + 1, 0);
  }
  if (std::memcmp(&outside, &zeros, sizeof(Table)) != 0)
    breach("cellval holds a brick outside rows 3..12 of columns 1..20");
}

void InvariantChecker::checkPlayfield() {
  const GameState& s = session_.state();
  double ballLeft = ball_->left();
  double ballTop = ball_->top();
  // The floor test holds the ball's top, not its bottom, so the ball may overhang it.
  if (ballLeft < s.leftedge || ballLeft + ball_->width() > s.rightedge || ballTop < s.topedge ||
      ballTop > s.bottomedge) {
    breach("ball at (" + std::to_string(ballLeft) + ", " + std::to_string(ballTop) + ") outside the board");
  }
  double paddleLeft = paddle_->left();
  if (paddleLeft < s.leftedge || paddleLeft + paddle_->width() > s.rightedge)
    breach("paddle at " + std::to_string(paddleLeft) + " outside the board");
}

void InvariantChecker::checkLogo() {
  double left = logobox_->left();
  double top = logobox_->top();
  double right = left + logobox_->width();
  double bottom = top + logobox_->height();
  for (const Element* ball : logoballs_->byIndex()) {
    if (ball->left() < left - kFloatSlack || ball->left() + ball->width() > right + kFloatSlack ||
        ball->top() < top - kFloatSlack || ball->top() + ball->height() > bottom + kFloatSlack) {
      breach("logo ball " + std::to_string(ball->index()) + " outside the title box");
    }
  }
}

void InvariantChecker::checkTimersAndButtons() {
  int paddleTicks = timers_[0]->interval();
  int ballTicks = timers_[1]->interval();
  if ((paddleTicks != 0 && paddleTicks != 25) || paddleTicks != ballTicks)
    breach("game timers at " + std::to_string(paddleTicks) + " and " + std::to_string(ballTicks) + " ms");
  if (timers_[2]->interval() != 50) breach("logo timer at " + std::to_string(timers_[2]->interval()) + " ms");
  bool noLives = session_.state().lives == 0;
  if (gameover_->visible() != noLives) breach("Game Over shown is not the same as no lives left");
  if (noLives && paddleTicks != 0) breach("play runs with no lives left");
  if (bricks_->byIndex().size() != kBrickSlots || logoballs_->byIndex().size() != kLogoBalls)
    breach("brick cells or logo balls added during play");
  if (bricks_->member(0)->visible()) breach("the template brick 0 is shown");
}

void InvariantChecker::breach(const std::string& what) {
  if (++breaches_ > static_cast<std::int64_t>(kKeptBreaches)) return;
  std::ostringstream line;
  line << "t=" << session_.now() << " ms after " << eventName(event_) << ' ' << eventTarget_ << ": " << what;
  firstBreaches_.push_back(line.str());
}

std::string InvariantChecker::report() const {
  std::string text = std::to_string(breaches_) + " breaches";
  for (const std::string& line : firstBreaches_) text += "\n  " + line;
  return text;
}

}  // namespace tilerush::soak
