// Names trimmed and folded, keys checked for their length and alphabet.
#include "server/names.h"

#include <algorithm>

namespace tilerush::board {

std::optional<std::string> playerName(std::string_view sent) {
  while (!sent.empty() && sent.front() == ' ') sent.remove_prefix(1);
  while (!sent.empty() && sent.back() == ' ') sent.remove_suffix(1);
  if (sent.empty() || sent.size() > 24) return std::nullopt;
  if (!std::all_of(sent.begin(), sent.end(), [](char c) { return c >= 0x20 && c < 0x7F; }))
    return std::nullopt;
  return std::string(sent);
}

std::string foldedName(std::string_view name) {
  std::string folded(name);
  for (char& c : folded) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return folded;
}

bool isPlayerKey(std::string_view key) {
  const auto base64url = [](char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
  };
  return key.size() >= 22 && key.size() <= 256 && std::all_of(key.begin(), key.end(), base64url);
}

}  // namespace tilerush::board
