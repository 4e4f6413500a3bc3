// libFuzzer target: any bytes as a link given to the window, through the fragment,
// base64url and the bounded inflate, with what every answer must be checked after each.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "link_contract.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view link(reinterpret_cast<const char*>(data), size);
  if (!tilerush::fuzz::linkKeepsItsPromise(link)) std::abort();
  return 0;
}
