// The board's queries, written once for both databases: `?` for each value, which the
// PostgreSQL side numbers ($1, $2, ...). Values are always bound, never written in.
#pragma once

#include <string>
#include <vector>

#include "server/storage.h"

namespace tilerush::board::sql {

// Board rows: these columns first, as rowColumns() reads them.
inline constexpr const char* kRowColumns = "SELECT g.id, p.name, g.score, g.level, g.time_ms, g.received";
inline constexpr const char* kFromGames = " FROM games g JOIN players p ON p.id = g.player";

// The entries of a scope, from fixed text alone; scopeValues() gives its values.
std::string scopeWhere(const BoardScope& scope);
std::vector<std::string> scopeValues(const BoardScope& scope);

// The best `count` (last value) of a scope: scope values, then the count.
std::string top(const BoardScope& scope);
// The rank of an entry: scope values twice, then its id. Two counts, each a range of
// the score index: the entries above it, and those level with it but earlier.
std::string rank(const BoardScope& scope);
// A player's best entry: scope values, then the folded name.
std::string best(const BoardScope& scope);
// One entry with seed, bricks left, end, replay and core version after the row columns.
std::string game();

}  // namespace tilerush::board::sql
