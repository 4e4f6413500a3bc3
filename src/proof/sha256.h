// SHA-256, for what the board keeps of a player's key and of a game's identity: the
// standard library has none, and the core takes no library beyond it.
#pragma once

#include <string>
#include <string_view>

namespace tilerush::proof {

// The SHA-256 digest of `bytes`, as 64 lower-case hex digits.
std::string sha256Hex(std::string_view bytes);

}  // namespace tilerush::proof
