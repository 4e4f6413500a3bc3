// Game time kept in step with the page's clock: the page wakes the game once, at the
// next instant something falls due, and hands it keys and clicks at the present one.
#include "web/page_game.h"

#include <emscripten/emscripten.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>
#include <utility>

namespace tilerush {
namespace {

constexpr double kNsPerMs = 1'000'000;

std::int64_t nanoseconds(double realMs) { return std::llround(realMs * kNsPerMs); }

}  // namespace

std::uint64_t pageClockSeed() {
  const auto ms = std::chrono::system_clock::now().time_since_epoch() / std::chrono::milliseconds(1);
  return static_cast<std::uint64_t>(ms) * 1000 +
         static_cast<std::uint64_t>(std::fmod(emscripten_get_now(), 1.0) * 1000);
}

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

PageGame::~PageGame() { session_.display().removeObserver(&view_); }

void PageGame::show(double realMs) {
  restartClock(realMs);
  view_.showAll();
}

void PageGame::restartClock(double realMs) {
  pacer_.restart();
  pacer_.step(nanoseconds(realMs));
}

void PageGame::catchUp(double realMs) {
  const std::int64_t step = pacer_.step(nanoseconds(realMs));
  if (halted_ || !session_.isOpen()) return;
  std::int64_t target = session_.now() + step;
  if (until_) target = std::min(target, *until_);
  session_.advanceTo(target);
  if (until_ && session_.now() >= *until_) {
    until_.reset();
    // May ask for the next stretch at once.
    if (auto reached = std::exchange(reached_, nullptr)) reached();
  }
}

void PageGame::give(const Input& input, double realMs) {
  if (halted_ || !session_.isOpen()) return;
  catchUp(realMs);
  session_.give(input);
}

void PageGame::runUntil(std::int64_t until, std::function<void()> reached) {
  until_ = until;
  reached_ = std::move(reached);
}

double PageGame::paint() {
  view_.paint();
  if (halted_) return -1;
  std::optional<std::int64_t> next = session_.nextDue();
  if (until_ && (!next || *until_ < *next)) next = until_;
  if (!next) return -1;
  return static_cast<double>(pacer_.realDelayNs(*next - session_.now())) / kNsPerMs;
}

}  // namespace tilerush
