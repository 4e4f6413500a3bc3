// A replay shared as a link: the page writes it into the link's fragment, so that it
// never reaches a server, as "r=1." and then the replay deflated (zlib) and written in
// base64url. The window opens such links as it opens replay files, and the board takes
// a game sent as one; so this layer needs nothing but the standard library and zlib.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "game/result.h"

namespace tilerush {

// Whether a command-line argument is a link's replay rather than a file's name: a web
// address whose fragment starts "r=", the fragment with its "#", or without it (an
// unquoted "#" starts a comment in a shell).
bool looksLikeReplayLink(std::string_view argument);

// No replay is inflated past this, whatever its link claims; the front ends hold
// replay files to the same size.
inline constexpr std::size_t kLongestReplayBytes = 16 * 1024 * 1024;

// A size as the messages say it: "16 MiB".
inline std::string mebibytes(std::size_t bytes) { return std::to_string(bytes >> 20) + " MiB"; }
// Or "64 KiB", for what is smaller than a mebibyte.
inline std::string sizeText(std::size_t bytes) {
  return bytes >= (1u << 20) ? mebibytes(bytes) : std::to_string(bytes >> 10) + " KiB";
}

// The link of `replay`, as the page makes it: "#r=1." and the replay deflated, in
// base64url; given to the page's address or to tilerush, it plays the replay. A replay
// that carries a level set (`map` lines) is "#r=2.", so that a reader older than sets
// says it cannot read it instead of playing it on the wrong maps.
std::string replayLink(std::string_view replay);

// Whether a command-line argument is a link to a level set: as above, with "l=".
bool looksLikeLevelsLink(std::string_view argument);
// The link of a level set's text: "#l=1." and the text deflated, in base64url.
std::string levelsLink(std::string_view setText);
// The text of the set a link holds, not yet read as a set, or what is wrong with the
// link; none inflates past `most` bytes.
Result<std::string> levelsTextOfLink(std::string_view link, std::size_t most);

// `text` deflated in zlib's format, as links and the board's stored replays hold it;
// `level` is zlib's, 1 (fastest) to 9 (smallest, what links use).
std::string deflated(std::string_view text, int level = 9);
// What deflate() made, inflated; past `most` bytes, cut short or garbled, one sentence
// on what is wrong, which names it as `what` ("the link") and what it holds as
// `contents` ("replay").
Result<std::string> inflated(std::string_view bytes, std::string_view what,
                             std::size_t most = kLongestReplayBytes, std::string_view contents = "replay");

// The replay a link holds, or what is wrong with the link; none inflates past
// kLongestReplayBytes.
Result<std::string> replayOfLink(std::string_view link);

}  // namespace tilerush
