// tilerush-board's command line.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "game/result.h"
#include "server/http_server.h"
#include "server/limiter.h"

namespace tilerush::board {

struct Options {
  std::string listen = "127.0.0.1";
  unsigned short port = 8080;
  std::filesystem::path data;
  // A PostgreSQL connection string; none for SQLite in `data`.
  std::optional<std::string> database;
  std::optional<std::filesystem::path> site;
  std::optional<std::string> trustedProxy;
  std::optional<std::int64_t> remove;
  int workers = 8;
  // Each waiting check holds its body (up to 2 MiB): 64 of them at most 128 MiB.
  std::size_t queue = 64;
  ConnectionLimits limits;
  Allowance allowance;
  bool help = false;
  bool version = false;
};

// The options, or one sentence on what is wrong with them.
Result<Options> parseOptions(const std::vector<std::string>& arguments);
// The default data folder: $XDG_DATA_HOME/tilerush-board, else ~/.local/share/tilerush-board.
std::filesystem::path defaultDataFolder();
extern const char* const kUsage;

}  // namespace tilerush::board
