// The promise of replayOfLink, checked on one link.
#include "link_contract.h"

#include <cstdio>

#include "links/replay_link.h"

namespace tilerush::fuzz {

bool linkKeepsItsPromise(std::string_view link) {
  (void)looksLikeReplayLink(link);
  const Result<std::string> read = replayOfLink(link);
  if (read) {
    if (read.value().size() <= kLongestReplayBytes) return true;
    std::fprintf(stderr, "a replay of %zu bytes came out of a link\n", read.value().size());
    return false;
  }
  const std::string& why = read.error();
  if (!why.empty() && why.find('\n') == std::string::npos && why.back() != '.') return true;
  std::fprintf(stderr, "a link was refused with '%s'\n", why.c_str());
  return false;
}

}  // namespace tilerush::fuzz
