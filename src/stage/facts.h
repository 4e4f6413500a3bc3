// What the window and the page both show or hold to while a replay is watched, in one
// place: the page's copy is generated from these (src/web/page_layout.cpp).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "sim/replay.h"
#include "sim/replay_show.h"

namespace tilerush::stage {

// A replay larger than this is refused unread, whether a file or a link: a day of
// play with the keys writes under 12 MiB.
inline constexpr std::size_t kLongestReplayBytes = 16 * 1024 * 1024;
// A replay longer than this in game time is refused: checking it takes a while, and
// watching it longer.
inline constexpr std::int64_t kLongestReplayMs = 24LL * 3'600'000;
// While a replay plays, the time its timeline shows follows it this often.
inline constexpr std::int64_t kFollowMs = 100;

// The speeds of sim::kSpeeds as the timeline names them.
inline constexpr std::array<std::string_view, sim::kSpeeds.size()> kSpeedNames = {"¼×", "½×", "1×", "2×",
                                                                                  "4×", "8×", "16×"};

// A mark on the timeline: its kind's name in the page's markup, the words a viewer
// reads for it, and its colour as 0xRRGGBB.
struct MarkLook {
  std::string_view name;
  std::string_view words;
  std::uint32_t colour;
};
MarkLook markLook(sim::Mark::Kind kind);
inline constexpr std::array<sim::Mark::Kind, 3> kMarkKinds = {
    sim::Mark::Kind::LostBall, sim::Mark::Kind::LevelCleared, sim::Mark::Kind::GameOver};

// Game milliseconds as m:ss.t, tenths cut rather than rounded, as a clock shows them.
std::string clockText(std::int64_t ms);

// Steps and jumps repeat while their key is held, as a video player's do; the other
// keys of the viewer act once a press.
bool repeatsWhileHeld(sim::TheatreKey key);

}  // namespace tilerush::stage
