// Shortest round-trip text of a double, and a strict decimal reader, from the C
// library's exact printf and correctly rounded strtod.
#include "game/decimal.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace tilerush {
namespace {

// A positive decimal d1.d2d3... x 10^exponent.
struct Digits {
  char text[24] = {};
  int count = 0;
  int exponent = 0;
};

// The `count`-digit decimal nearest to `value` (positive, finite): printf rounds exactly.
Digits nearest(double value, int count) {
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "%.*e", count - 1, value);
  Digits d;
  const char* c = buffer;
  for (; *c != 'e'; ++c) {
    if (*c != '.') d.text[d.count++] = *c;
  }
  d.exponent = std::atoi(c + 1);
  return d;
}

double valueOf(const Digits& d) {
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "%c.%.*se%d", d.text[0], d.count - 1, d.text + 1, d.exponent);
  return std::strtod(buffer, nullptr);
}

// The `count`-digit decimal next to `d`, one unit in its last place up or down.
Digits neighbour(Digits d, bool up) {
  int i = d.count - 1;
  if (up) {
    for (; i >= 0 && d.text[i] == '9'; --i) d.text[i] = '0';
    if (i >= 0) {
      ++d.text[i];
    } else {
      d.text[0] = '1';
      ++d.exponent;
    }
    return d;
  }
  for (; i >= 0 && d.text[i] == '0'; --i) d.text[i] = '9';
  --d.text[i];
  // Below a power of ten the grid of `count` digits is ten times finer.
  if (d.text[0] == '0') {
    std::memset(d.text, '9', static_cast<std::size_t>(d.count));
    --d.exponent;
  }
  return d;
}

// The `count`-digit decimal that reads back as `value`, nearest first; false when none does.
bool roundTrip(double value, int count, Digits& found) {
  Digits d = nearest(value, count);
  const double back = valueOf(d);
  if (back == value) {
    found = d;
    return true;
  }
  // The nearest can miss where the interval that reads back is lopsided, at a power
  // of two; then only its neighbour on the other side of `value` can be inside.
  d = neighbour(d, back < value);
  if (valueOf(d) != value) return false;
  found = d;
  return true;
}

// A whole number below 2^53 is its own shortest text: every other decimal with no
// more digits lies at least 1 away, past where anything reads back as it.
Digits wholeDigits(double value) {
  Digits d;
  d.count = std::snprintf(d.text, sizeof d.text, "%.0f", value);
  d.exponent = d.count - 1;
  return d;
}

// Fewest digits first: whether some decimal of n digits reads back only grows with n.
Digits shortest(double value) {
  if (value < 9007199254740992.0 && value == std::floor(value)) {
    Digits whole = wholeDigits(value);
    while (whole.count > 1 && whole.text[whole.count - 1] == '0') --whole.count;
    return whole;
  }
  Digits best = nearest(value, 17);
  int low = 1;
  int high = 17;
  while (low < high) {
    const int middle = (low + high) / 2;
    Digits d;
    if (roundTrip(value, middle, d)) {
      best = d;
      high = middle;
    } else {
      low = middle + 1;
    }
  }
  if (best.count > low) roundTrip(value, low, best);
  while (best.count > 1 && best.text[best.count - 1] == '0') --best.count;
  return best;
}

std::string scientific(const Digits& d) {
  std::string text(1, d.text[0]);
  if (d.count > 1) text.append(".").append(d.text + 1, static_cast<std::size_t>(d.count - 1));
  // A double's decimal exponent has three digits at most; the room is for any int.
  char exponent[16];
  std::snprintf(exponent, sizeof exponent, "e%c%02d", d.exponent < 0 ? '-' : '+', std::abs(d.exponent));
  return text + exponent;
}

// A whole number is written with all its digits, as exact as the double is.
std::string fixed(const Digits& d, double value) {
  if (d.exponent >= d.count - 1) {
    char buffer[320];
    std::snprintf(buffer, sizeof buffer, "%.0f", value);
    return buffer;
  }
  const std::string digits(d.text, static_cast<std::size_t>(d.count));
  if (d.exponent < 0) return "0." + std::string(static_cast<std::size_t>(-d.exponent) - 1, '0') + digits;
  const auto whole = static_cast<std::size_t>(d.exponent) + 1;
  return digits.substr(0, whole) + "." + digits.substr(whole);
}

std::size_t fixedLength(const Digits& d) {
  if (d.exponent >= d.count - 1) return static_cast<std::size_t>(d.exponent) + 1;
  if (d.exponent < 0) return static_cast<std::size_t>(d.count) + 1 + static_cast<std::size_t>(-d.exponent);
  return static_cast<std::size_t>(d.count) + 1;
}

std::string positiveText(double value) {
  if (std::isnan(value)) return "nan";
  if (std::isinf(value)) return "inf";
  if (value == 0) return "0";
  const Digits d = shortest(value);
  const std::string sci = scientific(d);
  return fixedLength(d) <= sci.size() ? fixed(d, value) : sci;
}

// Length of the longest prefix of [first, last) that is a decimal number, 0 if none.
std::size_t numberLength(const char* first, const char* last, bool& nonZero) {
  const char* c = first;
  if (c < last && *c == '-') ++c;
  bool digits = false;
  for (; c < last && *c >= '0' && *c <= '9'; ++c) {
    digits = true;
    nonZero = nonZero || *c != '0';
  }
  if (c < last && *c == '.') {
    ++c;
    for (; c < last && *c >= '0' && *c <= '9'; ++c) {
      digits = true;
      nonZero = nonZero || *c != '0';
    }
  }
  if (!digits) return 0;
  // An exponent counts only when it has digits of its own.
  if (c < last && (*c == 'e' || *c == 'E')) {
    const char* e = c + 1;
    if (e < last && (*e == '+' || *e == '-')) ++e;
    if (e < last && *e >= '0' && *e <= '9') {
      c = e;
      while (c < last && *c >= '0' && *c <= '9') ++c;
    }
  }
  return static_cast<std::size_t>(c - first);
}

}  // namespace

std::to_chars_result writeShortest(char* first, char* last, double value) {
  std::string text = positiveText(std::fabs(value));
  if (std::signbit(value)) text.insert(0, 1, '-');
  if (static_cast<std::size_t>(last - first) < text.size()) return {last, std::errc::value_too_large};
  std::copy(text.begin(), text.end(), first);  // no terminator: to_chars writes none
  return {first + text.size(), std::errc()};
}

std::from_chars_result readDecimal(const char* first, const char* last, double& value) {
  bool nonZero = false;
  const std::size_t length = numberLength(first, last, nonZero);
  if (length == 0) return {first, std::errc::invalid_argument};
  const std::string text(first, length);
  const double read = std::strtod(text.c_str(), nullptr);
  if (std::isinf(read) || (read == 0 && nonZero)) return {first + length, std::errc::result_out_of_range};
  value = read;
  return {first + length, std::errc()};
}

}  // namespace tilerush
