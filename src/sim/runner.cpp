// The run loop: one line at a time, stopping at the first that cannot be carried out.
#include "sim/runner.h"

#include <new>
#include <string>

#include "sim/commands.h"
#include "sim/script.h"
#include "sim/session.h"
#include "sim/values.h"

namespace tilerush::sim {
namespace {

int fail(std::ostream& err, int line, const std::string& what) {
  err << "tilerush-sim: line " << line << ": " << what << '\n';
  err.flush();
  return 2;
}

}  // namespace

int runScript(std::istream& script, std::ostream& out, std::ostream& err) {
  LineReader reader(script);
  std::string line;
  try {
    ScriptRun run;
    while (reader.next(line)) runLine(run, line, reader.number(), out);
  } catch (const ScriptError& e) {
    return fail(err, e.line() > 0 ? e.line() : reader.number(), e.what());
  } catch (const std::bad_alloc&) {
    return fail(err, reader.number(), "out of memory");
  }
  out.flush();
  return 0;
}

}  // namespace tilerush::sim
