// Turning the words of a script into numbers and texts, with a clear error for
// anything that does not fit.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace tilerush::sim {

// A line that cannot be carried out (exit status 2), or an expectation that does not
// hold (status 1). Line 0 means "the line being read"; a held command carries the
// line it was given on.
class ScriptError : public std::runtime_error {
 public:
  static constexpr int kBroken = 2;
  static constexpr int kUnmet = 1;

  explicit ScriptError(const std::string& what, int line = 0, int status = kBroken)
      : std::runtime_error(what), line_(line), status_(status) {}
  int line() const { return line_; }
  int status() const { return status_; }

 private:
  int line_;
  int status_;
};

// A word as it may be shown in a message: quoted, cut short when long, and with
// bytes that are not printable ASCII written as \xNN.
std::string quoted(std::string_view word);

// A finite number in decimal notation (sign, digits, point, exponent). Text that
// is not wholly a number, nan, inf and numbers past the range of a double are refused.
double parseNumber(std::string_view word);

// A whole number written in decimal digits, with an optional minus sign, from
// `min` to `max`; `what` names it in the message.
std::int64_t parseWhole(std::string_view word, std::int64_t min, std::int64_t max, std::string_view what);

// The seed of `seed`: 0 to 2^64 - 1.
std::uint64_t parseSeed(std::string_view word);

// A queued draw: in [0, 1) as written and still below 1 once rounded to float.
float parseDraw(std::string_view word);

// A number stored into an integer field rounds half to even; a result past the
// field's range is an error here, where the game itself would stop at the end.
std::int16_t toInt16Checked(double value, std::string_view field);
std::int32_t toInt32Checked(double value, std::string_view field);

// A length in twips as the element model keeps it: a float that must stay finite.
float toTwips(double value);

// 0 or 1, false or true.
bool parseFlag(std::string_view word);

// A colour 0x00BBGGRR, in decimal or as 0x followed by hex digits.
std::uint32_t parseColor(std::string_view word);

// Well-formed UTF-8: no stray continuation bytes, overlong forms, surrogates or code
// points past U+10FFFF.
bool validUtf8(std::string_view text);

// Text for a caption or a map row: valid UTF-8 with no control characters but tab,
// so that a dump stays valid JSON and readable.
void checkText(std::string_view text);

}  // namespace tilerush::sim
