// Reading a link's fragment: version, base64url, and an inflate that stops at the limit.
#include "links/replay_link.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <initializer_list>

namespace tilerush {
namespace {

constexpr std::string_view kFragmentStart = "r=";
constexpr std::string_view kLevelsStart = "l=";
// Replays on the built-in maps are of version 1, replays that carry a set of version 2.
constexpr std::string_view kVersion = "1.";
constexpr std::string_view kVersionWithSet = "2.";
constexpr std::string_view kLevelsVersion = "1.";

std::string_view fragmentOf(std::string_view link) {
  if (const std::size_t hash = link.find('#'); hash != std::string_view::npos) return link.substr(hash + 1);
  return link;
}

int sextet(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '-') return 62;
  if (c == '_') return 63;
  return -1;
}

// Base64url without padding, as the page writes it; a trailing "=" is taken too.
Result<std::string> fromBase64url(std::string_view text) {
  while (!text.empty() && text.back() == '=') text.remove_suffix(1);
  if (text.size() % 4 == 1) return Result<std::string>::failure("the link is cut short");
  std::string bytes;
  bytes.reserve(text.size() * 3 / 4);
  unsigned bits = 0;
  int count = 0;
  for (char c : text) {
    const int value = sextet(c);
    if (value < 0) return Result<std::string>::failure("the link holds characters no replay link has");
    bits = (bits << 6) | static_cast<unsigned>(value);
    count += 6;
    if (count >= 8) {
      count -= 8;
      bytes.push_back(static_cast<char>((bits >> count) & 0xFF));
    }
  }
  return bytes;
}

std::string toBase64url(const std::string& bytes) {
  static constexpr char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
  std::string text;
  unsigned bits = 0;
  int count = 0;
  for (unsigned char byte : bytes) {
    bits = (bits << 8) | byte;
    count += 8;
    while (count >= 6) {
      count -= 6;
      text.push_back(kDigits[(bits >> count) & 0x3F]);
    }
  }
  if (count > 0) text.push_back(kDigits[(bits << (6 - count)) & 0x3F]);
  return text;
}

// A replay carries a set when a line of it starts with `map`, which only a set's maps do.
bool carriesSet(std::string_view replay) {
  for (std::size_t at = 0; at < replay.size();) {
    const std::size_t end = std::min(replay.find('\n', at), replay.size());
    const std::string_view line = replay.substr(at, end - at);
    if (line.substr(0, 4) == "map " || line.substr(0, 4) == "map\t") return true;
    at = end + 1;
  }
  return false;
}

bool startsWith(std::string_view argument, std::string_view start) {
  const std::string_view fragment = fragmentOf(argument);
  return fragment.substr(0, start.size()) == start;
}

// The deflated text after `start` and one of `versions`, or what is wrong with it.
Result<std::string> payloadOf(std::string_view link, std::string_view start,
                              std::initializer_list<std::string_view> versions, std::string_view kind,
                              std::size_t most) {
  std::string_view fragment = fragmentOf(link);
  if (fragment.substr(0, start.size()) != start)
    return Result<std::string>::failure("the link holds no " + std::string(kind));
  fragment.remove_prefix(start.size());
  bool known = false;
  for (std::string_view version : versions) known = known || fragment.substr(0, version.size()) == version;
  if (!known) {
    return Result<std::string>::failure("the link's " + std::string(kind) +
                                        " is of a kind this version of Tilerush does not read");
  }
  fragment.remove_prefix(2);
  if (fragment.empty()) return Result<std::string>::failure("the link is cut short");
  Result<std::string> bytes = fromBase64url(fragment);
  if (!bytes) return bytes;
  return inflated(bytes.value(), "the link", most, kind);
}

}  // namespace

std::string deflated(std::string_view text, int level) {
  uLongf size = compressBound(static_cast<uLong>(text.size()));
  std::string bytes(size, '\0');
  compress2(reinterpret_cast<Bytef*>(bytes.data()), &size, reinterpret_cast<const Bytef*>(text.data()),
            static_cast<uLong>(text.size()), level);
  bytes.resize(size);
  return bytes;
}

Result<std::string> inflated(std::string_view bytes, std::string_view what, std::size_t most,
                             std::string_view contents) {
  const std::string name(what);
  z_stream stream{};
  if (inflateInit(&stream) != Z_OK) return Result<std::string>::failure(name + " cannot be read here");
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
  stream.avail_in = static_cast<uInt>(bytes.size());
  std::string text;
  std::array<char, 64 * 1024> chunk;
  int status = Z_OK;
  while (status == Z_OK) {
    stream.next_out = reinterpret_cast<Bytef*>(chunk.data());
    stream.avail_out = static_cast<uInt>(chunk.size());
    status = inflate(&stream, Z_NO_FLUSH);
    text.append(chunk.data(), chunk.size() - stream.avail_out);
    if (text.size() > most) status = Z_MEM_ERROR;
    // No input left and no more output either: the stream stopped before its end.
    if (status == Z_BUF_ERROR || (status == Z_OK && stream.avail_in == 0 && stream.avail_out != 0)) break;
  }
  inflateEnd(&stream);
  if (status == Z_STREAM_END) {
    if (stream.avail_in != 0) return Result<std::string>::failure(name + " has more in it than its replay");
    return text;
  }
  if (status == Z_MEM_ERROR)
    return Result<std::string>::failure(name + "'s " + std::string(contents) + " is larger than " +
                                        sizeText(most));
  if (status == Z_DATA_ERROR || status == Z_NEED_DICT)
    return Result<std::string>::failure(name + " is garbled");
  return Result<std::string>::failure(name + " is cut short");
}

std::string replayLink(std::string_view replay) {
  const std::string_view version = carriesSet(replay) ? kVersionWithSet : kVersion;
  return "#r=" + std::string(version) + toBase64url(deflated(replay));
}

bool looksLikeReplayLink(std::string_view argument) { return startsWith(argument, kFragmentStart); }

Result<std::string> replayOfLink(std::string_view link) {
  return payloadOf(link, kFragmentStart, {kVersion, kVersionWithSet}, "replay", kLongestReplayBytes);
}

bool looksLikeLevelsLink(std::string_view argument) { return startsWith(argument, kLevelsStart); }

std::string levelsLink(std::string_view setText) {
  return "#l=" + std::string(kLevelsVersion) + toBase64url(deflated(setText));
}

Result<std::string> levelsTextOfLink(std::string_view link, std::size_t most) {
  return payloadOf(link, kLevelsStart, {kLevelsVersion}, "level set", most);
}

}  // namespace tilerush
