// How much memory the program holds through operator new at this moment.
#pragma once

#include <cstdint>

namespace tilerush::soak {

// Blocks handed out by operator new and not yet given back, and their bytes. Counted
// by the replacement operators of live_allocations.cpp, which must be linked into the
// test binary; they count the same under AddressSanitizer as without it.
struct LiveAllocations {
  std::int64_t blocks = 0;
  std::int64_t bytes = 0;
};

LiveAllocations liveAllocations();

}  // namespace tilerush::soak
