// tilerush-sim: runs a Tilerush script headlessly and prints the dumps it asks for.
#include <fstream>
#include <iostream>
#include <string_view>

#include "sim/runner.h"

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  if (argc > 2 ||
      (argc == 2 && std::string_view(argv[1]).starts_with("-") && std::string_view(argv[1]) != "-")) {
    std::cerr << "usage: tilerush-sim [FILE]   (reads the script from standard input without FILE)\n";
    return 2;
  }
  if (argc == 2 && std::string_view(argv[1]) != "-") {
    std::ifstream file(argv[1], std::ios::binary);
    if (!file) {
      std::cerr << "tilerush-sim: cannot open " << argv[1] << '\n';
      return 2;
    }
    return tilerush::sim::runScript(file, std::cout, std::cerr);
  }
  return tilerush::sim::runScript(std::cin, std::cout, std::cerr);
}
