// The field table, storing script values into fields and printing fields as JSON.
#include "sim/fields.h"

#include <algorithm>
#include <type_traits>

#include "sim/json.h"
#include "sim/values.h"

namespace tilerush::sim {
namespace {

// How many indices a member of the record takes, and how many values each has.
template <typename T>
struct Shape {
  static constexpr int dimensions = 0;
  static constexpr std::array<int, 2> extents{};
};
template <typename T, std::size_t N>
struct Shape<std::array<T, N>> {
  static constexpr int dimensions = 1;
  static constexpr std::array<int, 2> extents{static_cast<int>(N), 0};
};
template <typename T, std::size_t N, std::size_t M>
struct Shape<std::array<std::array<T, M>, N>> {
  static constexpr int dimensions = 2;
  static constexpr std::array<int, 2> extents{static_cast<int>(N), static_cast<int>(M)};
};

// The place of value [i][j] of a member, as many indices as it takes; const for reading.
template <typename T>
auto* slotIn(T& member, int i, int j) {
  constexpr int dimensions = Shape<std::remove_const_t<T>>::dimensions;
  if constexpr (dimensions == 0) return &member;
  if constexpr (dimensions == 1) return &member[static_cast<std::size_t>(i)];
  if constexpr (dimensions == 2) return &member[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)];
}

template <auto Member>
FieldInfo field(std::string_view name) {
  using Type = std::remove_reference_t<decltype(std::declval<GameState&>().*Member)>;
  return {name, Shape<Type>::dimensions, Shape<Type>::extents,
          [](GameState& state, int i, int j) { return FieldSlot(slotIn(state.*Member, i, j)); },
          [](const GameState& state, int i, int j) { return FieldReading(slotIn(state.*Member, i, j)); }};
}

std::vector<FieldInfo> makeFields() {
  return {
      field<&GameState::levels>("levels"),
      field<&GameState::nummaps>("nummaps"),
      field<&GameState::mapno>("mapno"),
      field<&GameState::levelno>("levelno"),
      field<&GameState::cellval>("cellval"),
      field<&GameState::brickcount>("brickcount"),
      field<&GameState::bricksleft>("bricksleft"),
      field<&GameState::cellw>("cellw"),
      field<&GameState::cellh>("cellh"),
      field<&GameState::topedge>("topedge"),
      field<&GameState::bottomedge>("bottomedge"),
      field<&GameState::leftedge>("leftedge"),
      field<&GameState::rightedge>("rightedge"),
      field<&GameState::paddledir>("paddledir"),
      field<&GameState::speed>("speed"),
      field<&GameState::xspeed>("xspeed"),
      field<&GameState::yspeed>("yspeed"),
      field<&GameState::xfactor>("xfactor"),
      field<&GameState::yfactor>("yfactor"),
      field<&GameState::lastcell>("lastcell"),
      field<&GameState::roll>("roll"),
      field<&GameState::points>("points"),
      field<&GameState::bonuspoints>("bonuspoints"),
      field<&GameState::toppoints>("toppoints"),
      field<&GameState::lives>("lives"),
      field<&GameState::logoxspeed>("logoxspeed"),
      field<&GameState::logoyspeed>("logoyspeed"),
  };
}

// Map rows 1 to 10 are the ones a grid build reads; the dump shows those.
constexpr int kFirstMapRow = 1;
constexpr int kLastMapRow = 10;

void appendValue(std::string& out, const FieldReading& slot) {
  if (auto* number = std::get_if<const double*>(&slot)) return appendNumber(out, **number);
  if (auto* small = std::get_if<const std::int16_t*>(&slot)) return appendInteger(out, **small);
  if (auto* wide = std::get_if<const std::int32_t*>(&slot)) return appendInteger(out, **wide);
  appendString(out, *std::get<const std::string*>(slot));
}

// Only the maps that hold something, keyed by map number.
void appendLevels(std::string& out, const GameState& state, const FieldInfo& levels) {
  out += '{';
  bool first = true;
  for (int map = 0; map < levels.extents[0]; ++map) {
    bool filled = false;
    for (int row = kFirstMapRow; row <= kLastMapRow; ++row) {
      filled = filled || !std::get<const std::string*>(levels.reading(state, map, row))->empty();
    }
    if (!filled) continue;
    appendKey(out, std::to_string(map), first);
    out += '[';
    for (int row = kFirstMapRow; row <= kLastMapRow; ++row) {
      if (row > kFirstMapRow) out += ", ";
      appendValue(out, levels.reading(state, map, row));
    }
    out += ']';
  }
  out += '}';
}

void appendTable(std::string& out, const GameState& state, const FieldInfo& f) {
  out += '[';
  for (int i = 0; i < f.extents[0]; ++i) {
    if (i > 0) out += ", ";
    if (f.dimensions == 1) {
      appendValue(out, f.reading(state, i, 0));
      continue;
    }
    out += '[';
    for (int j = 0; j < f.extents[1]; ++j) {
      if (j > 0) out += ", ";
      appendValue(out, f.reading(state, i, j));
    }
    out += ']';
  }
  out += ']';
}

// A field's value, of the field's own type.
using FieldValue = std::variant<double, std::int16_t, std::int32_t, std::string>;

// What `set` stores into `slot` for a script's word, converted as the field converts.
// Whether a slot, to write or to read, holds a T.
template <typename T, typename Slot>
bool holds(const Slot& slot) {
  return std::visit([](auto* place) { return std::is_same_v<std::remove_cvref_t<decltype(*place)>, T>; },
                    slot);
}

template <typename Slot>
FieldValue valueFor(const Slot& slot, std::string_view field, std::string_view value) {
  if (holds<std::string>(slot)) {
    checkText(value);
    return std::string(value);
  }
  if (value.empty()) throw ScriptError("a value is missing");
  if (value.find_first_of(" \t") != std::string_view::npos) {
    throw ScriptError("a number is one word: " + quoted(value));
  }
  double number = parseNumber(value);
  if (holds<std::int16_t>(slot)) return toInt16Checked(number, field);
  if (holds<std::int32_t>(slot)) return toInt32Checked(number, field);
  return number;
}

FieldValue read(const FieldReading& slot) {
  return std::visit([](auto* place) { return FieldValue(*place); }, slot);
}

void store(const FieldSlot& slot, const FieldValue& value) {
  std::visit([&](auto* place) { *place = std::get<std::remove_reference_t<decltype(*place)>>(value); }, slot);
}

}  // namespace

const std::vector<FieldInfo>& allFields() {
  static const std::vector<FieldInfo> fields = makeFields();
  return fields;
}

const FieldInfo* findField(std::string_view name) {
  const auto& fields = allFields();
  auto it = std::find_if(fields.begin(), fields.end(), [&](const FieldInfo& f) { return f.name == name; });
  return it == fields.end() ? nullptr : &*it;
}

IndexedName splitIndices(std::string_view target) {
  IndexedName result;
  std::size_t open = target.find('[');
  result.name = target.substr(0, open);
  while (open != std::string_view::npos) {
    std::size_t close = target.find(']', open);
    if (close == std::string_view::npos) throw ScriptError("missing ] in " + quoted(target));
    std::string_view digits = target.substr(open + 1, close - open - 1);
    result.indices.push_back(parseWhole(digits, 0, INT32_MAX, "an index"));
    open = close + 1;
    if (open == target.size()) break;
    if (target[open] != '[') throw ScriptError("unexpected text after ] in " + quoted(target));
  }
  return result;
}

namespace {

// The field that `NAME[i][j]` names, and its indices.
struct Place {
  const FieldInfo* field;
  std::array<int, 2> at;
};
Place placeNamed(std::string_view target) {
  IndexedName named = splitIndices(target);
  const FieldInfo* f = findField(named.name);
  if (!f) throw ScriptError("unknown field " + quoted(named.name));
  if (static_cast<int>(named.indices.size()) != f->dimensions) {
    throw ScriptError(std::string(f->name) + " takes " + std::to_string(f->dimensions) +
                      (f->dimensions == 1 ? " index" : " indices") + ", as in " +
                      (f->dimensions == 0 ? std::string(f->name) : std::string(f->name) + "[0]") +
                      (f->dimensions == 2 ? "[0]" : ""));
  }
  std::array<int, 2> at{};
  for (std::size_t d = 0; d < named.indices.size(); ++d) {
    if (named.indices[d] >= f->extents[d]) {
      throw ScriptError("index " + std::to_string(named.indices[d]) + " of " + std::string(f->name) +
                        " out of range: it runs 0 to " + std::to_string(f->extents[d] - 1));
    }
    at[d] = static_cast<int>(named.indices[d]);
  }
  return {f, at};
}

}  // namespace

void setField(GameState& state, std::string_view target, std::string_view value) {
  const auto [f, at] = placeNamed(target);
  const FieldSlot slot = f->slot(state, at[0], at[1]);
  store(slot, valueFor(slot, f->name, value));
}

std::optional<std::string> mismatchOfField(const GameState& state, std::string_view target,
                                           std::string_view value) {
  const auto [f, at] = placeNamed(target);
  const FieldReading slot = f->reading(state, at[0], at[1]);
  if (read(slot) == valueFor(slot, f->name, value)) return std::nullopt;
  return fieldText(state, target);
}

std::string fieldText(const GameState& state, std::string_view target) {
  const auto [f, at] = placeNamed(target);
  const FieldReading slot = f->reading(state, at[0], at[1]);
  if (auto* text = std::get_if<const std::string*>(&slot)) return **text;
  std::string out;
  appendValue(out, slot);
  return out;
}

void appendField(std::string& out, const GameState& state, const FieldInfo& f) {
  if (f.name == "levels") return appendLevels(out, state, f);
  if (f.dimensions == 0) return appendValue(out, f.reading(state, 0, 0));
  appendTable(out, state, f);
}

}  // namespace tilerush::sim
