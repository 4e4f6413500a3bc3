// Days as ranges of the database's ISO 8601 dates.
#include "server/days.h"

#include <chrono>

namespace tilerush::board {
namespace {

kept::Day shifted(kept::Day day, int days) {
  using namespace std::chrono;
  const year_month_day date{sys_days{year{day.year} / day.month / day.day} + std::chrono::days{days}};
  return {static_cast<int>(date.year()), static_cast<int>(static_cast<unsigned>(date.month())),
          static_cast<int>(static_cast<unsigned>(date.day()))};
}

}  // namespace

BoardScope dayScope(kept::Day day) {
  BoardScope scope;
  scope.seed = std::to_string(kept::challengeSeed(day));
  scope.from = kept::dayText(day) + "T00:00:00.000Z";
  // A game finished just before midnight takes a moment to reach the board.
  scope.until = kept::dayText(shifted(day, 1)) + "T01:00:00.000Z";
  return scope;
}

std::optional<kept::Day> boardDayOf(std::string_view received, std::string_view seed) {
  const std::optional<kept::Day> day = kept::parseDay(received.substr(0, 10));
  if (!day) return std::nullopt;
  for (const kept::Day candidate : {*day, shifted(*day, -1)}) {
    const BoardScope scope = dayScope(candidate);
    if (*scope.seed == seed && scope.from <= received && received < scope.until) return candidate;
  }
  return std::nullopt;
}

}  // namespace tilerush::board
