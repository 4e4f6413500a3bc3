// Players' names and keys as the board takes them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tilerush::board {

// The name trimmed of blanks at both ends, if it is then 1 to 24 printable ASCII
// characters; none otherwise.
std::optional<std::string> playerName(std::string_view sent);
// What makes two names one: the name in lower case (names are ASCII).
std::string foldedName(std::string_view name);
// A player key: a random secret of at least 128 bits the client made, written as 22
// to 256 characters of base64url or hex (22 of base64url hold 132 bits).
bool isPlayerKey(std::string_view key);

}  // namespace tilerush::board
