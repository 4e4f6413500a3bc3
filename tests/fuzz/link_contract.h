// What reading any link must give: a replay no larger than a link may hold, or one
// sentence on one line, never a crash.
#pragma once

#include <string_view>

namespace tilerush::fuzz {

bool linkKeepsItsPromise(std::string_view link);

}  // namespace tilerush::fuzz
