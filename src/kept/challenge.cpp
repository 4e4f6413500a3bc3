// The challenge's days and seeds.
#include "kept/challenge.h"

#include <cstdio>

namespace tilerush::kept {
namespace {

bool leap(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int daysIn(int year, int month) {
  constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && leap(year) ? 29 : kDays[month - 1];
}

// The digits of text[from, from + count) as a number; none if any is not a digit.
std::optional<int> digits(std::string_view text, std::size_t from, std::size_t count) {
  int value = 0;
  for (std::size_t i = from; i < from + count; ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    value = value * 10 + (text[i] - '0');
  }
  return value;
}

}  // namespace

std::optional<Day> parseDay(std::string_view text) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
  const std::optional<int> year = digits(text, 0, 4);
  const std::optional<int> month = digits(text, 5, 2);
  const std::optional<int> day = digits(text, 8, 2);
  if (!year || !month || !day || *year < 1 || *month < 1 || *month > 12) return std::nullopt;
  if (*day < 1 || *day > daysIn(*year, *month)) return std::nullopt;
  return Day{*year, *month, *day};
}

std::string dayText(Day day) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", day.year, day.month, day.day);
  return text;
}

// Days since 1970-01-01 to the civil date, by the proleptic Gregorian calendar's
// 400-year eras (the calendar types of <chrono> are not in every standard library
// the page is built with).
Day dayInUtc(std::chrono::system_clock::time_point now) {
  const std::int64_t days =
      std::chrono::floor<std::chrono::duration<std::int64_t, std::ratio<86400>>>(now.time_since_epoch())
          .count() +
      719468;
  const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const std::int64_t dayOfEra = days - era * 146097;
  const std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const std::int64_t shifted = (5 * dayOfYear + 2) / 153;
  const int day = static_cast<int>(dayOfYear - (153 * shifted + 2) / 5 + 1);
  const int month = static_cast<int>(shifted < 10 ? shifted + 3 : shifted - 9);
  const int year = static_cast<int>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
  return {year, month, day};
}

std::uint64_t challengeSeed(Day day) {
  std::uint64_t z =
      static_cast<std::uint64_t>(day.year * 10000 + day.month * 100 + day.day) + 0x9E3779B97F4A7C15u;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
  return z ^ (z >> 31);
}

}  // namespace tilerush::kept
