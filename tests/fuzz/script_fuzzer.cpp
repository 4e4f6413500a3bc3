// libFuzzer target: any bytes as a tilerush-sim script, through the line reader, the
// commands and the game, with the run's promise checked after each.
#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "run_contract.h"
#include "sim/script.h"
#include "sim/values.h"

namespace {

// A script may ask for a day of virtual time on every line: minutes of honest work,
// where the fuzzer wants thousands of runs a second. Scripts that ask for more than
// this are passed over; the soak tests play the long games.
constexpr std::int64_t kMaxVirtualMs = 20'000;
constexpr std::int64_t kMaxTickFires = 20'000;
constexpr std::int64_t kMaxDumps = 16;

// The amount a word asks for, capped so that the sums cannot overflow; a word that is
// not a plain count is refused by the run.
std::int64_t amount(std::string_view word) {
  constexpr std::int64_t kCap = 1'000'000'000;
  std::int64_t value = 0;
  std::from_chars(word.data(), word.data() + word.size(), value);
  return std::clamp<std::int64_t>(value, 0, kCap);
}

bool withinBudget(std::string_view script) {
  std::istringstream in{std::string(script)};
  tilerush::sim::LineReader reader(in);
  std::string line;
  std::int64_t ms = 0;
  std::int64_t fires = 0;
  std::int64_t dumps = 0;
  try {
    while (reader.next(line)) {
      tilerush::sim::Words words(line);
      std::string_view command = words.next();
      if (command == "advance" || command == "autoplay") ms += amount(words.next());
      if (command == "dump") ++dumps;
      if (command == "tick") {
        words.next();
        fires += words.atEnd() ? 1 : amount(words.next());
      }
      if (ms > kMaxVirtualMs || fires > kMaxTickFires || dumps > kMaxDumps) return false;
    }
  } catch (const tilerush::sim::ScriptError&) {
    // A line too long: the run stops there as well.
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view script(reinterpret_cast<const char*>(data), size);
  if (!withinBudget(script)) return -1;  // not kept in the corpus
  tilerush::fuzz::ScriptRun run = tilerush::fuzz::runScriptText(script);
  std::string breach = tilerush::fuzz::contractBreach(script, run);
  if (!breach.empty()) {
    std::fprintf(stderr, "tilerush-sim broke its promise: %s\n", breach.c_str());
    std::abort();
  }
  return 0;
}
