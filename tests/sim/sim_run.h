// Running a script in-process and keeping what it printed.
#pragma once

#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "sim/runner.h"

namespace tilerush::sim::testing {

struct SimRun {
  int status = 0;
  std::string out;
  std::string err;
};

inline SimRun runSim(const std::string& script) {
  std::istringstream in(script);
  std::ostringstream out;
  std::ostringstream err;
  SimRun run;
  run.status = runScript(in, out, err);
  run.out = out.str();
  run.err = err.str();
  return run;
}

// The one dump line a script of `seed 1`, `open` and then `body` prints last.
inline std::string lastDump(const std::string& body) {
  SimRun run = runSim("seed 1\nopen\n" + body);
  std::string out = run.out;
  if (!out.empty() && out.back() == '\n') out.pop_back();
  std::size_t start = out.rfind('\n');
  return run.status == 0 ? out.substr(start == std::string::npos ? 0 : start + 1) : "exit " + run.err;
}

// Each line a run printed, parsed: what a dump says, asked by name, so that a failing
// check names the value it found rather than a substring it missed.
inline std::vector<nlohmann::json> dumpsOf(const std::string& out) {
  std::vector<nlohmann::json> dumps;
  std::istringstream lines(out);
  for (std::string line; std::getline(lines, line);) dumps.push_back(nlohmann::json::parse(line));
  return dumps;
}

// The last dump of `seed 1`, `open` and then `body`, parsed; null if the run failed.
inline nlohmann::json lastDumpJson(const std::string& body) {
  SimRun run = runSim("seed 1\nopen\n" + body);
  if (run.status != 0 || run.out.empty()) return nullptr;
  return dumpsOf(run.out).back();
}

}  // namespace tilerush::sim::testing
