// The colour each digit of a map is painted in: the one table the game paints its
// bricks with and the page's editor draws its cells with (generated into layout.js).
#pragma once

#include <array>
#include <cstdint>

namespace tilerush::levels {

// 0x00BBGGRR, as the layout keeps colours; 0 is no brick and is never painted. 8 and 9
// look alike on purpose: the special brick is not told apart by its colour.
inline constexpr std::array<std::uint32_t, 10> kBrickColors = {
    0,        0x0000FF,  // 1 red
    0x0040C0,            // 2 dark orange
    0x008080,            // 3 olive
    0x00FF00,            // 4 bright green
    0x808000,            // 5 teal
    0xFF0000,            // 6 blue
    0xFFFFFF,            // 7 white
    0x000000,            // 8 black
    0x000000,            // 9 black
};

}  // namespace tilerush::levels
