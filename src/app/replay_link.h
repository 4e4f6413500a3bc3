// A replay shared as a link: the page writes it into the link's fragment, so that it
// never reaches a server, as "r=1." and then the replay deflated (zlib) and written in
// base64url. The window opens such links as it opens replay files.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "game/result.h"

namespace tilerush {

// No replay inflates past this, as no replay file is read past it.
inline constexpr std::size_t kLongestLinkedReplayBytes = 16 * 1024 * 1024;

// Whether a command-line argument is a link's replay rather than a file's name: a web
// address whose fragment starts "r=", the fragment with its "#", or without it (an
// unquoted "#" starts a comment in a shell).
bool looksLikeReplayLink(std::string_view argument);

// The replay a link holds, or what is wrong with the link.
Result<std::string> replayOfLink(std::string_view link);

}  // namespace tilerush
