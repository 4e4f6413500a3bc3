// A replay to watch or race, named on the command line by a file or a link, read
// whole and checked on a headless game before any window opens.
#pragma once

#include <string>

#include "game/result.h"
#include "sim/replay.h"

namespace tilerush {

struct CheckedReplay {
  std::string script;
  sim::ReplayFacts facts;
};

// The replay `argument` names: a link's when it looks like one and names no file
// that exists, else a file's. Refused in one sentence (starting with what it names)
// when it cannot be read, is larger than a link may hold, or does not play through.
Result<CheckedReplay> checkedReplay(const std::string& argument);
// `script` checked the same way; `name` starts what is said when it does not play.
Result<CheckedReplay> checkedScript(std::string script, const std::string& name);

}  // namespace tilerush
