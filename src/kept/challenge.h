// Today's challenge: a day of the calendar (UTC) and the seed every player of that day
// faces, the same in the window, the page and tilerush-sim.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tilerush::kept {

// A real day of the Gregorian calendar, years 1 to 9999.
struct Day {
  int year = 1970;
  int month = 1;
  int day = 1;
  bool operator==(const Day&) const = default;
};

// "YYYY-MM-DD", exactly: four digits, two, two, and a day that exists (2026-02-29 does
// not). None for anything else.
std::optional<Day> parseDay(std::string_view text);
// The day as "YYYY-MM-DD".
std::string dayText(Day day);
// The day in UTC at instant `now`.
Day dayInUtc(std::chrono::system_clock::time_point now);

// The seed of a day's challenge, fixed forever: n = year x 10000 + month x 100 + day,
// then the first output of SplitMix64 from state n (add 0x9E3779B97F4A7C15, then the
// generator's mix). Every 64-bit value is a seed the `seed` line takes.
std::uint64_t challengeSeed(Day day);

}  // namespace tilerush::kept
