// The state of a scripted game as one line of JSON.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "game/session.h"

namespace tilerush::sim {

// `{"t": ..., "fields": {...}, "elements": {...}}`. With no names every field and
// element is printed; otherwise only the named ones, in the same order as a full
// dump. A name that is neither a field nor an element is a ScriptError.
std::string dumpJson(const Session& session, const std::vector<std::string_view>& names);

}  // namespace tilerush::sim
