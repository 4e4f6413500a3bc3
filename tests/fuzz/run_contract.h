// What every run of tilerush-sim promises, whatever bytes its script holds.
#pragma once

#include <string>
#include <string_view>

namespace tilerush::fuzz {

// The outcome of one in-process run.
struct ScriptRun {
  int status = 0;
  std::string out;
  std::string err;
};

ScriptRun runScriptText(std::string_view script);

// Empty when the run kept its promise: exit status 0 with nothing on standard error,
// or 2 with the one line "tilerush-sim: line N: what is wrong" for a line N of the
// script; and every line printed is one JSON object in valid UTF-8. Otherwise says
// what was broken.
std::string contractBreach(std::string_view script, const ScriptRun& run);

// Whether `text` is exactly one JSON object (no NaN, no infinity, no raw control
// characters, valid UTF-8).
bool isJsonObject(std::string_view text);

}  // namespace tilerush::fuzz
