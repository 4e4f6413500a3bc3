// Form-encoded pairs, read without allocating more than the value.
#include "server/query.h"

namespace tilerush::board {
namespace {

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::optional<std::string> decoded(std::string_view text) {
  std::string value;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '+') {
      value.push_back(' ');
    } else if (text[i] != '%') {
      value.push_back(text[i]);
    } else {
      if (i + 2 >= text.size()) return std::nullopt;
      const int high = hexDigit(text[i + 1]), low = hexDigit(text[i + 2]);
      if (high < 0 || low < 0) return std::nullopt;
      value.push_back(static_cast<char>(high * 16 + low));
      i += 2;
    }
  }
  return value;
}

}  // namespace

std::optional<std::string> queryValue(std::string_view query, std::string_view key) {
  while (!query.empty()) {
    const std::size_t end = query.find('&');
    const std::string_view pair = query.substr(0, end);
    const std::size_t equals = pair.find('=');
    if (pair.substr(0, equals) == key)
      return decoded(equals == std::string_view::npos ? "" : pair.substr(equals + 1));
    if (end == std::string_view::npos) break;
    query.remove_prefix(end + 1);
  }
  return std::nullopt;
}

}  // namespace tilerush::board
