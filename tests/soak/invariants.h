// The rules the game keeps whatever is played, checked after every event of a session.
#pragma once

#include <bitset>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "game/session.h"
#include "sim/runner.h"

namespace tilerush::soak {

// Watches one session. After every event it checks lives (0 to 6), the paddle
// direction (0, 1 or 2), the life markers against `lives`, `cellval` (no brick
// outside the board's rows 3 to 12 and columns 1 to 20), the hidden template brick,
// ball, paddle and logo balls inside their limits, the game timers (both 0 or both
// 25 ms, the logo's 50 ms) and "Game Over" shown exactly when no life is left. After
// every start-up it also counts the 501 brick cells and 3 logo balls and checks the
// new game's first values. Each check is a handful of comparisons, cheap enough for
// ten million ticks under AddressSanitizer.
class InvariantChecker {
 public:
  explicit InvariantChecker(Session& session) : session_(session) {}

  void afterEvent(GameEvent event, std::string_view name);

  std::int64_t eventsChecked() const { return events_; }
  std::int64_t startUpsChecked() const { return startUps_; }
  std::int64_t breachCount() const { return breaches_; }
  // The first few breaches, each with the time and the event it followed.
  std::string report() const;

 private:
  void findElements();
  void checkStartUp();
  void trackMarkers(bool startUp);
  void checkLivesAndMarkers();
  void checkCells();
  void checkPlayfield();
  void checkLogo();
  void checkTimersAndButtons();
  void breach(const std::string& what);

  Session& session_;
  std::int64_t events_ = 0;
  std::int64_t startUps_ = 0;
  std::int64_t breaches_ = 0;
  std::vector<std::string> firstBreaches_;
  // The event being checked, for the breach messages.
  GameEvent event_ = GameEvent::Open;
  std::string_view eventTarget_;

  // Life markers that a level start gave without showing (the next hit shows them).
  std::bitset<7> unshownLives_;
  double lastPoints_ = 0;
  int lastLives_ = 0;

  // Found again after every start-up, which rebuilds every element.
  const Element* ball_ = nullptr;
  const Element* paddle_ = nullptr;
  const Element* logobox_ = nullptr;
  const Element* gameover_ = nullptr;
  const Element* timers_[3] = {};
  const ElementArray* bricks_ = nullptr;
  const ElementArray* logoballs_ = nullptr;
  const ElementArray* lifeMarkers_ = nullptr;
};

}  // namespace tilerush::soak
