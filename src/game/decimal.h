// Decimal text of doubles that every compiler's library writes and reads alike.
#pragma once

#include <charconv>

namespace tilerush {

// The longest text writeShortest makes: sign, 17 digits, point, "e-308" and spare.
inline constexpr int kShortestChars = 32;

// Writes `value` as std::to_chars(first, last, value) does: the fewest digits that
// read back as the same double, the nearest such when several do, in fixed notation
// unless scientific is shorter (exponents as "1e+20", "1e-07"); a whole number in fixed
// notation is written exactly. Infinities and NaN as "inf", "-inf", "nan", "-nan".
// Some standard libraries lack the floating-point to_chars: this one is used everywhere
// so that the game's texts and dumps come out byte for byte the same on all of them.
std::to_chars_result writeShortest(char* first, char* last, double value);

// Reads a decimal number as std::from_chars(first, last, value) does: an optional
// minus, digits with an optional point, an optional exponent; no blanks, no plus sign.
// Stops at the first character that does not belong; a number past the range of a
// double (too large, or so small that it would read as 0) is result_out_of_range and
// leaves `value` alone. Infinities, NaN and hexadecimal are not read.
std::from_chars_result readDecimal(const char* first, const char* last, double& value);

}  // namespace tilerush
