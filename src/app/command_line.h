// The window's command line: what to record, what to watch.
#pragma once

#include <QString>
#include <optional>

#include "game/result.h"
#include "kept/challenge.h"

namespace tilerush {

struct Options {
  std::optional<QString> recordTo;
  // A replay's file or link: watched, or with `race`, played afresh on its first draws.
  std::optional<QString> replay;
  bool race = false;
  // --levels: a level set's file or link, every game played on it.
  std::optional<QString> levels;
  bool muted = false;
  // --challenge: today's (UTC), which main() reads from the clock; --day: that day's.
  bool challenge = false;
  std::optional<kept::Day> day;
  // --board: the address of a score board, kept for the runs after; empty forgets it.
  std::optional<QString> board;
  // --help's or --version's answer, for standard output: the program says it and
  // ends there, with status 0.
  std::optional<QString> answer;
};

// Reads the arguments, answering --help and --version, or says in one sentence what
// is wrong with them (the program then ends with status 2).
Result<Options> readCommandLine(int argc, char** argv);

}  // namespace tilerush
