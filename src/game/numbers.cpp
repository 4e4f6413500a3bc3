// Rounding into integer fields and the texts of counters.
#include "game/numbers.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "game/decimal.h"

namespace tilerush {
namespace {

template <typename Int>
Int roundInto(double value) {
  if (std::isnan(value)) return 0;
  double rounded = std::nearbyint(value);
  if (rounded <= std::numeric_limits<Int>::min()) return std::numeric_limits<Int>::min();
  if (rounded >= std::numeric_limits<Int>::max()) return std::numeric_limits<Int>::max();
  return static_cast<Int>(rounded);
}

std::string lastChars(const std::string& text, std::size_t count) {
  return text.size() <= count ? text : text.substr(text.size() - count);
}

}  // namespace

std::int16_t toInt16(double value) { return roundInto<std::int16_t>(value); }
std::int32_t toInt32(double value) { return roundInto<std::int32_t>(value); }

double wholePart(double value) { return std::floor(value); }

std::string numberText(double value) {
  char buffer[64];
  std::to_chars_result result{};
  if (value == std::floor(value) && std::fabs(value) < 1e15) {
    result = std::to_chars(buffer, buffer + sizeof buffer, static_cast<long long>(value));
  } else {
    result = writeShortest(buffer, buffer + sizeof buffer, value);
  }
  std::string digits(buffer, result.ptr);
  return value >= 0 || digits.front() != '-' ? " " + digits : digits;
}

std::string threeDigits(double value) { return lastChars(numberText(value + 10000), 3); }
std::string sixDigits(double value) { return lastChars(numberText(value + 100000000), 6); }

}  // namespace tilerush
