// The five built-in level maps: ten rows of twenty digits, one digit a brick cell.
#include "levels/level_set.h"

namespace tilerush::levels {

namespace {

using Rows = std::array<std::string_view, kMapRows>;

// Text the program holds, not strings made at start: the page's program stays small.
constexpr std::array<Rows, kBuiltInMaps> kMaps = {
    // Nested rectangles of 1s and 2s around a bar of 3s.
    Rows{"11111111111111111111", "10000000000000000001", "10222222222222222201", "10200000000000000201",
         "10203333333333330201", "10203333333333330201", "10200000000000000201", "10222222222222222201",
         "10000000000000000001", "11111111111111111111"},
    Rows{"44321111111111112344", "44432000000000023444", "34443200000000234443", "23444322222222344432",
         "12344444444444444321", "12344444444444444321", "23444322222222344432", "34443200000000234443",
         "44432000000000023444", "44321111111111112344"},
    // Rows 7 and 8 are not the mirror of rows 4 and 3: the map is lopsided on purpose.
    Rows{"55555432111123455555", "54444321000012344445", "54433210000001233445", "54322106600660122345",
         "43221106600660112234", "43221100000000112234", "54322101100110122345", "54433210111101233445",
         "54444321000012344445", "55555432111123455555"},
    Rows{"00000000000000880000", "00000000000008778000", "00000888888888888880", "08888111111187778180",
         "81111111111111111180", "81111111111111111180", "08888111111187778180", "00000888888888778880",
         "00000000000008778000", "00000000000000880000"},
    // Special bricks only: it is cleared by their outcomes and by ceiling strikes.
    Rows{"09999999999999999990", "09999999999999999990", "09999999999999999990", "09999999999999999990",
         "09999999999999999990", "09999999999999999990", "09999999999999999990", "09999999999999999990",
         "09999999999999999990", "09999999999999999990"},
};

}  // namespace

std::string_view builtInRow(int map, int row) { return kMaps[map - 1][row - 1]; }

LevelSet builtInSet() {
  LevelSet set{"Tilerush", std::vector<Map>(kBuiltInMaps)};
  for (int map = 1; map <= kBuiltInMaps; ++map) {
    for (int row = 1; row <= kMapRows; ++row) set.maps[map - 1][row - 1] = std::string(builtInRow(map, row));
  }
  return set;
}

std::optional<LevelSet> setOfDigits(std::string_view title, std::string_view digits) {
  constexpr std::size_t kMapDigits = kMapRows * kMapColumns;
  const std::size_t count = digits.size() / kMapDigits;
  if (digits.size() % kMapDigits != 0 || count < 1 || count > kMostMaps) return std::nullopt;
  if (digits.find_first_not_of("0123456789") != std::string_view::npos) return std::nullopt;
  LevelSet set{std::string(title), std::vector<Map>(count)};
  for (std::size_t at = 0; at < digits.size(); at += kMapColumns) {
    const std::size_t cell = at / kMapColumns;
    set.maps[cell / kMapRows][cell % kMapRows] = std::string(digits.substr(at, kMapColumns));
  }
  return set;
}

}  // namespace tilerush::levels
