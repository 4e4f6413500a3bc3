// The game's number conventions: integer fields, whole parts and counter texts.
#pragma once

#include <cstdint>
#include <string>

#include "display/element.h"

namespace tilerush {

// Geometry is float, and the arithmetic on it double: a float widens to a double
// exactly, so the one step that changes a value is the way back. `stored` is that
// step, wherever a result goes into an element or into a field that holds a float.
constexpr float stored(double value) { return static_cast<float>(value); }

// An element's right and bottom edges, worked out in double.
inline double rightOf(const Element& e) { return static_cast<double>(e.left()) + e.width(); }
inline double bottomOf(const Element& e) { return static_cast<double>(e.top()) + e.height(); }

// Storing into an integer field rounds to nearest, halves to even. Values past the
// field's range stop at its end instead of wrapping (the game never gets there in
// play; only a script can push it), and NaN stores 0.
std::int16_t toInt16(double value);
std::int32_t toInt32(double value);

// The whole part: the largest whole number not above `value`.
double wholePart(double value);

// A number as text: one leading blank when zero or more, a minus sign otherwise.
std::string numberText(double value);

// The last `digits` characters of the text of value + 10^(digits + 2 or so): the
// fixed-width counters "056" and "012340".
std::string threeDigits(double value);
std::string sixDigits(double value);

}  // namespace tilerush
