// tilerush-sim: runs a Tilerush script headlessly and prints the dumps it asks for.
#include <fstream>
#include <iostream>
#include <optional>
#include <string_view>

#include "kept/challenge.h"
#include "sim/runner.h"
#include "version.h"

namespace {

// The manual page, tilerush-sim(6), says the same at length; keep the two in step.
constexpr std::string_view kHelp =
    R"(Usage: tilerush-sim [FILE]
       tilerush-sim --challenge-seed YYYY-MM-DD
Plays a Tilerush script on a virtual clock, without a window, and prints
the dumps it asks for. A replay recorded by 'tilerush --record' is such a
script. Reads FILE, or standard input without FILE or with -.

Commands, one a line (# starts a comment):
  seed N              seed every start-up with N instead of the clock
  high N              start with a High of N (before open)
  lastcell N          start with the last cell tested N (before open)
  roll N              start with the special brick's last roll N (before open)
  map N R1 ... R10    map N of a level set to play on: ten rows of 20 digits (before open)
  startmap N          the set's map the first level is laid out from (before open)
  draws R1 R2 ...     queue exact values in [0, 1) for the next random draws
  open                open the window: start-up runs, the timers start
  key down|up K       a key event: left, right, p or a key code
  click B             click the button pause, nextlevel or gameover
  advance MS          move the clock on, firing the ticks that fall due
  autoplay MS         play for MS as a person would
  tick T [N]          fire Timer1, Timer2 or Timer3 N times now
  set NAME VALUE      store into a field, or into ELEMENT.PROP
  dump [NAME ...]     print the state as one line of JSON
  expect NAME VALUE   stop with status 1 unless NAME holds VALUE

Options:
  --challenge-seed YYYY-MM-DD
                      print the seed of that day's challenge and exit
  -h, --help          show this help and exit
  -v, --version       show the version and exit

Exit status: 0 when the whole script ran, 1 when an expectation failed,
2 for any other error (the line and what is wrong go to standard error).
See the manual page tilerush-sim(6).
)";

int runFile(const char* path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    std::cerr << "tilerush-sim: cannot open " << path << '\n';
    return 2;
  }
  return tilerush::sim::runScript(file, std::cout, std::cerr);
}

// The seed every player of that day (UTC) faces in the day's challenge.
int printChallengeSeed(std::string_view day) {
  const std::optional<tilerush::kept::Day> parsed = tilerush::kept::parseDay(day);
  if (!parsed) {
    std::cerr << "tilerush-sim: --challenge-seed takes a day as YYYY-MM-DD (a real date), not '" << day
              << "'\n";
    return 2;
  }
  std::cout << tilerush::kept::challengeSeed(*parsed) << '\n';
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  const std::string_view arg = argc == 2 ? argv[1] : "-";
  if (arg == "-h" || arg == "--help") {
    std::cout << kHelp;
    return 0;
  }
  if (arg == "-v" || arg == "--version") {
    std::cout << "tilerush-sim " << tilerush::kVersion << '\n';
    return 0;
  }
  if (argc >= 2 && std::string_view(argv[1]) == "--challenge-seed") {
    if (argc != 3) {
      std::cerr << "tilerush-sim: usage: tilerush-sim --challenge-seed YYYY-MM-DD\n";
      return 2;
    }
    return printChallengeSeed(argv[2]);
  }
  if (argc > 2 || (arg.starts_with("-") && arg != "-")) {
    std::cerr << "tilerush-sim: usage: tilerush-sim [FILE] (see tilerush-sim --help)\n";
    return 2;
  }
  if (arg == "-") return tilerush::sim::runScript(std::cin, std::cout, std::cerr);
  return runFile(argv[1]);
}
