// The fields of the game state record by name and type: what `set` stores into
// and what `dump` prints.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "game/state.h"

namespace tilerush::sim {

// Where one value of a field lives: a general number, a 16- or 32-bit integer, or a
// text; to write it (`set`), or only to read it (`expect`, `dump`).
using FieldSlot = std::variant<double*, std::int16_t*, std::int32_t*, std::string*>;
using FieldReading =
    std::variant<const double*, const std::int16_t*, const std::int32_t*, const std::string*>;

struct FieldInfo {
  std::string_view name;
  int dimensions = 0;            // 0 for a single value, 1 or 2 for a table
  std::array<int, 2> extents{};  // number of indices in each dimension
  FieldSlot (*slot)(GameState& state, int i, int j) = nullptr;
  FieldReading (*reading)(const GameState& state, int i, int j) = nullptr;
};

// Every field, in the order of the record.
const std::vector<FieldInfo>& allFields();
// Null for a name that is not a field's.
const FieldInfo* findField(std::string_view name);

// `set NAME[i][j] VALUE`: `target` is the name with its indices, `value` the rest of
// the line. Numbers take one word; a text takes the whole rest. Throws ScriptError.
void setField(GameState& state, std::string_view target, std::string_view value);

// `expect NAME[i][j] VALUE`: none when the field holds what `set` would store,
// otherwise what it holds, as a script would write it.
std::optional<std::string> mismatchOfField(const GameState& state, std::string_view target,
                                           std::string_view value);

// What `NAME[i][j]` holds, as a script would write it.
std::string fieldText(const GameState& state, std::string_view target);

// The value of one field as a dump prints it.
void appendField(std::string& out, const GameState& state, const FieldInfo& field);

// Splits `name[3][5]` into the name and its indices; every index must be a whole number.
struct IndexedName {
  std::string_view name;
  std::vector<std::int64_t> indices;
};
IndexedName splitIndices(std::string_view target);

}  // namespace tilerush::sim
