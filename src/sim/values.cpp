// Number and text checks for script values.
#include "sim/values.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "game/decimal.h"
#include "game/numbers.h"

namespace tilerush::sim {
namespace {

constexpr std::size_t kShownWordLength = 40;

std::string rangeText(std::int64_t min, std::int64_t max) {
  return std::to_string(min) + " to " + std::to_string(max);
}

// The game's own conversion stops at the field's end; a script asking for more
// has made a mistake worth reporting.
template <typename Int>
void checkFits(double value, std::string_view field) {
  double rounded = std::nearbyint(value);
  if (rounded < std::numeric_limits<Int>::min() || rounded > std::numeric_limits<Int>::max()) {
    throw ScriptError(std::string(field) + " holds whole numbers from " +
                      rangeText(std::numeric_limits<Int>::min(), std::numeric_limits<Int>::max()) +
                      ": out of range");
  }
}

// Length of the UTF-8 sequence that starts with `lead`, 0 when `lead` cannot start one.
int sequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

}  // namespace

bool validUtf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    auto lead = static_cast<unsigned char>(text[i]);
    int length = sequenceLength(lead);
    if (length == 0 || i + static_cast<std::size_t>(length) > text.size()) return false;
    for (int k = 1; k < length; ++k) {
      auto next = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
      if ((next & 0xC0) != 0x80) return false;
    }
    // Overlong forms, UTF-16 surrogates and code points past U+10FFFF.
    auto second = length > 1 ? static_cast<unsigned char>(text[i + 1]) : 0;
    if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) ||
        (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second > 0x8F)) {
      return false;
    }
    i += static_cast<std::size_t>(length);
  }
  return true;
}

std::string quoted(std::string_view word) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string text = "'";
  for (std::size_t i = 0; i < word.size() && i < kShownWordLength; ++i) {
    auto ch = static_cast<unsigned char>(word[i]);
    if (ch >= 0x20 && ch < 0x7F) {
      text += static_cast<char>(ch);
    } else {
      text += "\\x";
      text += kHex[ch >> 4];
      text += kHex[ch & 0xF];
    }
  }
  if (word.size() > kShownWordLength) text += "...";
  return text + "'";
}

double parseNumber(std::string_view word) {
  if (word.empty()) throw ScriptError("a number is missing");
  double value = 0;
  auto [end, ec] = readDecimal(word.data(), word.data() + word.size(), value);
  if (ec == std::errc::result_out_of_range) throw ScriptError("number out of range: " + quoted(word));
  if (ec != std::errc() || end != word.data() + word.size() || !std::isfinite(value)) {
    throw ScriptError("not a number: " + quoted(word));
  }
  return value;
}

std::int64_t parseWhole(std::string_view word, std::int64_t min, std::int64_t max, std::string_view what) {
  // The message is made only when it is needed: every advance and key of a replay comes
  // through here, and an hour's replay has tens of thousands of them.
  const auto wanted = [&] {
    return std::string(what) + " must be a whole number from " + rangeText(min, max);
  };
  if (word.empty()) throw ScriptError(wanted());
  std::int64_t value = 0;
  auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
  if (ec != std::errc() || end != word.data() + word.size() || value < min || value > max)
    throw ScriptError(wanted() + ", not " + quoted(word));
  return value;
}

std::uint64_t parseSeed(std::string_view word) {
  const std::string wanted =
      "seed must be a whole number from 0 to 18446744073709551615, not " + quoted(word);
  std::uint64_t value = 0;
  auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
  if (word.empty() || ec != std::errc() || end != word.data() + word.size()) throw ScriptError(wanted);
  return value;
}

float parseDraw(std::string_view word) {
  double value = parseNumber(word);
  if (!(value >= 0 && value < 1)) throw ScriptError("a draw must lie in [0, 1), not " + quoted(word));
  auto draw = static_cast<float>(value);
  if (draw >= 1.0f)
    throw ScriptError("draw " + quoted(word) + " rounds to 1 as a float; it must stay below 1");
  // A written -0 is the draw 0.
  return draw + 0.0f;
}

std::int16_t toInt16Checked(double value, std::string_view field) {
  checkFits<std::int16_t>(value, field);
  return toInt16(value);
}

std::int32_t toInt32Checked(double value, std::string_view field) {
  checkFits<std::int32_t>(value, field);
  return toInt32(value);
}

float toTwips(double value) {
  if (std::fabs(value) > std::numeric_limits<float>::max()) {
    throw ScriptError("length out of range: it must fit a float");
  }
  return static_cast<float>(value);
}

bool parseFlag(std::string_view word) {
  if (word == "1" || word == "true") return true;
  if (word == "0" || word == "false") return false;
  throw ScriptError("visible takes 0, 1, false or true, not " + quoted(word));
}

std::uint32_t parseColor(std::string_view word) {
  constexpr std::uint32_t kMaxColor = 0xFFFFFF;
  const std::string wanted = "a colour is a number from 0 to 16777215 (0xFFFFFF), not " + quoted(word);
  std::string_view digits = word;
  int base = 10;
  if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
    digits.remove_prefix(2);
    base = 16;
  }
  std::uint64_t value = 0;
  auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value, base);
  if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size() || value > kMaxColor) {
    throw ScriptError(wanted);
  }
  return static_cast<std::uint32_t>(value);
}

void checkText(std::string_view text) {
  for (char ch : text) {
    auto byte = static_cast<unsigned char>(ch);
    if ((byte < 0x20 && byte != '\t') || byte == 0x7F) {
      throw ScriptError("text must not hold control characters: " + quoted(text));
    }
  }
  if (!validUtf8(text)) throw ScriptError("text is not valid UTF-8: " + quoted(text));
}

}  // namespace tilerush::sim
