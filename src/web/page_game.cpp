// Game time kept in step with the page's clock: the page wakes the game once, at the
// next instant something falls due, and hands it keys and clicks at the present one.
#include "web/page_game.h"

#include <emscripten/emscripten.h>

#include <chrono>
#include <cmath>
#include <ctime>
#include <utility>

namespace tilerush {
std::uint64_t pageClockSeed() {
  const auto ms = std::chrono::system_clock::now().time_since_epoch() / std::chrono::milliseconds(1);
  return static_cast<std::uint64_t>(ms) * 1000 +
         static_cast<std::uint64_t>(std::fmod(emscripten_get_now(), 1.0) * 1000);
}

std::int64_t pageNs(double realMs) { return std::llround(realMs * static_cast<double>(kNsPerMs)); }

std::string utcNow() {
  const std::time_t now = std::time(nullptr);
  std::tm utc{};
  gmtime_r(&now, &utc);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
  return text;
}

PageGame::PageGame(Session::SeedSource seeds) : session_(std::move(seeds)) {
  session_.display().addObserver(&view_);
}

PageGame::~PageGame() {
  if (watching_) session_.display().removeObserver(&view_);
}

void PageGame::show(double realMs) {
  restartClock(realMs);
  view_.showAll();
}

void PageGame::watchView(bool on) {
  if (on == watching_) return;
  watching_ = on;
  if (!on) {
    session_.display().removeObserver(&view_);
    return;
  }
  session_.display().addObserver(&view_);
  view_.showAll();
}

void PageGame::restartClock(double realMs) { paced_.restartClock(pageNs(realMs)); }

void PageGame::catchUp(double realMs) { paced_.catchUp(pageNs(realMs)); }

void PageGame::give(const Input& input, double realMs) { paced_.give(input, pageNs(realMs)); }

void PageGame::runUntil(std::int64_t until, std::function<void()> reached) {
  paced_.runUntil(until, std::move(reached));
}

double PageGame::paint() {
  view_.paint();
  const std::optional<std::int64_t> ns = paced_.wakeDelayNs();
  return ns ? static_cast<double>(*ns) / static_cast<double>(kNsPerMs) : -1;
}

}  // namespace tilerush
