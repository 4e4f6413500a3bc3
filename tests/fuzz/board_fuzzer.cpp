// libFuzzer target: any bytes as a game sent to the board, as the body it comes in, and as
// the query of a board's address. The check never throws; what it takes, its own plain
// form takes again as the same game; what it refuses, it refuses in one sentence. The
// body reads as nlohmann reads it.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "proof/check.h"
#include "server/body.h"
#include "server/query.h"

namespace {

bool oneSentence(const std::string& why) {
  return !why.empty() && why.find('\n') == std::string::npos && why.back() != '.';
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  (void)tilerush::board::queryValue(bytes, "name");
  const nlohmann::json body = tilerush::board::parseBody(bytes);
  const nlohmann::json expected = nlohmann::json::parse(bytes.begin(), bytes.end(), nullptr, false);
  if (body.is_discarded() != expected.is_discarded() || (!expected.is_discarded() && body != expected)) {
    std::fprintf(stderr, "the body reads otherwise than nlohmann reads it\n");
    std::abort();
  }
  const tilerush::Result<tilerush::proof::ProvenGame> game = tilerush::proof::proveGame(bytes);
  if (!game) {
    if (oneSentence(game.error())) return 0;
    std::fprintf(stderr, "refused with '%s'\n", game.error().c_str());
    std::abort();
  }
  const tilerush::Result<tilerush::proof::ProvenGame> again = tilerush::proof::proveGame(game.value().replay);
  if (!again || again.value().identity != game.value().identity ||
      again.value().score != game.value().score) {
    std::fprintf(stderr, "the board's own replay of a game it took is not that game\n");
    std::abort();
  }
  return 0;
}
