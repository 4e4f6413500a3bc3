// Which board a day's challenge is: the day's seed, and the entries that reached the
// board that day by its UTC clock, or in the hour after its midnight.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "kept/challenge.h"
#include "server/storage.h"

namespace tilerush::board {

BoardScope dayScope(kept::Day day);
// The day whose board an entry received at `received` (ISO 8601 UTC, as the database
// writes it) on `seed` belongs to; none if it is on no day's board.
std::optional<kept::Day> boardDayOf(std::string_view received, std::string_view seed);

}  // namespace tilerush::board
