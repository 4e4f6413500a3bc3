// The five built-in level maps: ten rows of twenty digits, one digit a brick cell.
#include <array>

#include "game/form1.h"

namespace tilerush {
namespace {

constexpr int kMaps = 5;
constexpr int kMapRows = 10;

using MapRows = std::array<const char*, kMapRows>;

// Nested rectangles of 1s and 2s around a bar of 3s.
constexpr MapRows kMap1 = {"11111111111111111111", "10000000000000000001", "10222222222222222201",
                           "10200000000000000201", "10203333333333330201", "10203333333333330201",
                           "10200000000000000201", "10222222222222222201", "10000000000000000001",
                           "11111111111111111111"};
constexpr MapRows kMap2 = {"44321111111111112344", "44432000000000023444", "34443200000000234443",
                           "23444322222222344432", "12344444444444444321", "12344444444444444321",
                           "23444322222222344432", "34443200000000234443", "44432000000000023444",
                           "44321111111111112344"};
// Rows 7 and 8 are not the mirror of rows 4 and 3: the map is lopsided on purpose.
constexpr MapRows kMap3 = {"55555432111123455555", "54444321000012344445", "54433210000001233445",
                           "54322106600660122345", "43221106600660112234", "43221100000000112234",
                           "54322101100110122345", "54433210111101233445", "54444321000012344445",
                           "55555432111123455555"};
constexpr MapRows kMap4 = {"00000000000000880000", "00000000000008778000", "00000888888888888880",
                           "08888111111187778180", "81111111111111111180", "81111111111111111180",
                           "08888111111187778180", "00000888888888778880", "00000000000008778000",
                           "00000000000000880000"};
// Special bricks only: it is cleared by their outcomes and by ceiling strikes.
constexpr MapRows kMap5 = {"09999999999999999990", "09999999999999999990", "09999999999999999990",
                           "09999999999999999990", "09999999999999999990", "09999999999999999990",
                           "09999999999999999990", "09999999999999999990", "09999999999999999990",
                           "09999999999999999990"};

constexpr std::array<const MapRows*, kMaps> kAllMaps = {&kMap1, &kMap2, &kMap3, &kMap4, &kMap5};

}  // namespace

void Form1::fillLevels() {
  for (int map = 1; map <= kMaps; ++map) {
    for (int row = 1; row <= kMapRows; ++row) {
      state_.levels[map][row] = (*kAllMaps[map - 1])[row - 1];
    }
  }
}

}  // namespace tilerush
