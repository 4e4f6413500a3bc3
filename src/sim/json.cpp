// JSON numbers, strings and keys.
#include "sim/json.h"

#include <charconv>
#include <cmath>

#include "game/decimal.h"

namespace tilerush::sim {

void appendNumber(std::string& out, double value) {
  // JSON has no NaN or infinity. The game reaches them only from absurd values a
  // script stored (a cell width of 0 makes lastcell 0 / 0), and the dump must stay
  // readable then too.
  if (!std::isfinite(value)) {
    out += "null";
    return;
  }
  char buffer[32];
  auto result = writeShortest(buffer, buffer + sizeof buffer, value);
  out.append(buffer, result.ptr);
}

void appendInteger(std::string& out, std::int64_t value) {
  char buffer[24];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  out.append(buffer, result.ptr);
}

void appendBool(std::string& out, bool value) { out += value ? "true" : "false"; }

void appendString(std::string& out, std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  out += '"';
  for (char ch : text) {
    auto byte = static_cast<unsigned char>(ch);
    if (ch == '"' || ch == '\\') {
      out += '\\';
      out += ch;
    } else if (ch == '\t') {
      out += "\\t";
    } else if (byte < 0x20 || byte == 0x7F) {
      out += "\\u00";
      out += kHex[byte >> 4];
      out += kHex[byte & 0xF];
    } else {
      out += ch;
    }
  }
  out += '"';
}

void appendKey(std::string& out, std::string_view key, bool& first) {
  if (!first) out += ", ";
  first = false;
  appendString(out, key);
  out += ": ";
}

}  // namespace tilerush::sim
