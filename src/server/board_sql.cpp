// The query texts, from fixed fragments alone.
#include "server/board_sql.h"

namespace tilerush::board::sql {

std::string scopeWhere(const BoardScope& scope) {
  std::string where = " WHERE 1 = 1";
  if (scope.seed) where += " AND g.seed = ?";
  if (!scope.from.empty()) where += " AND g.received >= ?";
  if (!scope.until.empty()) where += " AND g.received < ?";
  return where;
}

std::vector<std::string> scopeValues(const BoardScope& scope) {
  std::vector<std::string> values;
  if (scope.seed) values.push_back(*scope.seed);
  if (!scope.from.empty()) values.push_back(scope.from);
  if (!scope.until.empty()) values.push_back(scope.until);
  return values;
}

std::string top(const BoardScope& scope) {
  return std::string(kRowColumns) + kFromGames + scopeWhere(scope) + " ORDER BY g.score DESC, g.id LIMIT ?";
}

std::string rank(const BoardScope& scope) {
  const std::string where = scopeWhere(scope);
  return "SELECT 1 + (SELECT COUNT(*) FROM games g" + where +
         " AND g.score > e.score) + (SELECT COUNT(*) FROM games g" + where +
         " AND g.score = e.score AND g.id < e.id) FROM games e WHERE e.id = ?";
}

std::string best(const BoardScope& scope) {
  return std::string(kRowColumns) + kFromGames + scopeWhere(scope) +
         " AND p.folded = ? ORDER BY g.score DESC, g.id LIMIT 1";
}

std::string game() {
  return std::string(kRowColumns) + ", g.seed, g.bricks_left, g.game_over, g.replay, g.core_version" +
         kFromGames + " WHERE g.id = ?";
}

}  // namespace tilerush::board::sql
