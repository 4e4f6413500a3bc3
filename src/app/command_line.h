// The window's command line: what to record, what to watch.
#pragma once

#include <QString>
#include <optional>

namespace tilerush {

struct Options {
  std::optional<QString> recordTo;
  // A replay's file or link: watched, or with `race`, played afresh on its first draws.
  std::optional<QString> replay;
  bool race = false;
  bool muted = false;
};

// Reads the arguments, or answers --help and --version, or says in one line what is
// wrong with them; those three end the program (status 0, 0 and 2).
Options readCommandLine(int argc, char** argv);

}  // namespace tilerush
