// A whole game in the page: a session on the one clock, moved on by the page's real
// time, and shown on the page's canvas and buttons.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "display/web/web_view.h"
#include "game/paced_game.h"
#include "game/session.h"
#include "web/page_sound.h"

namespace tilerush {

// The time of day in microseconds, as far as the browser tells them: a new seed at
// every start-up.
std::uint64_t pageClockSeed();
// Now, as the window dates a replay: 2025-01-31T12:00:00Z.
std::string utcNow();
// The page's clock, performance.now() in milliseconds, as the nanoseconds the pacer takes.
std::int64_t pageNs(double realMs);

class PageGame {
 public:
  // `seeds` gives the random seed of each start-up that no replay fixes.
  explicit PageGame(Session::SeedSource seeds);
  ~PageGame();
  PageGame(const PageGame&) = delete;
  PageGame& operator=(const PageGame&) = delete;

  // The page shows this game from now on, and its clock runs from `realMs` (the
  // page's clock, performance.now()) on: no game time has passed since it last ran.
  void show(double realMs);
  // The clock runs from `realMs` on, as if no real time had passed since it last ran.
  void restartClock(double realMs);
  // Brings game time up to `realMs`, firing every tick due by then.
  void catchUp(double realMs);
  // Gives a player's key or click at the clock's present instant.
  void give(const Input& input, double realMs);
  // Game time stops at `until` until asked to go on, and `reached` runs there.
  void runUntil(std::int64_t until, std::function<void()> reached);
  // Game time stops for good: a replay has ended, and its final state stays.
  void halt() { paced_.stand(); }
  // Whether what happens in this game is heard from now on.
  void hear(bool on) { sound_.hear(on); }
  // Whether the canvas follows the game: a replay's seek runs through game time
  // unwatched, and the game area is then drawn whole once.
  void watchView(bool on);

  // Repaints what changed; returns the real milliseconds until the clock must next
  // be brought up to date, -1 when nothing is due.
  double paint();

  Session& session() { return session_; }
  PacedGame& paced() { return paced_; }
  WebView& view() { return view_; }

 private:
  Session session_;
  WebView view_{session_.display()};
  PageSound sound_{session_.form()};
  PacedGame paced_{session_};
  bool watching_ = true;
};

}  // namespace tilerush
