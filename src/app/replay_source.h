// A replay to watch or race, or a level set to play, named on the command line by a
// file or a link, read whole and checked before any window opens.
#pragma once

#include <string>

#include "game/result.h"
#include "levels/level_set.h"
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
// The level set `argument` names (--levels): a link's when it looks like one ("#l=")
// and names no file that exists, else a file's; played from its first map. Refused in
// one sentence, starting with what it names, naming the map and row that is wrong.
Result<levels::LevelChoice> chosenLevels(const std::string& argument);

}  // namespace tilerush
