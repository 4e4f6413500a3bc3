// Reading the command line: each option once, each number in its range.
#include "server/options.h"

#include <charconv>
#include <cstdlib>
#include <functional>
#include <map>

namespace tilerush::board {

const char* const kUsage =
    "usage: tilerush-board [--listen ADDR] [--port N] [--data DIR | --database postgresql://...]\n"
    "                      [--site DIR] [--trusted-proxy ADDR]\n"
    "                      [--workers N] [--queue N] [--connections N] [--connections-per-address N]\n"
    "                      [--timeout SECONDS]\n"
    "                      [--games-per-minute N] [--game-hours-per-minute N]\n"
    "       tilerush-board [--data DIR | --database postgresql://...] --remove ID\n"
    "Serves the Tilerush score board: games sent with their replays, checked on the game's core.\n";

namespace {

Result<std::int64_t> number(const std::string& option, const std::string& text, std::int64_t low,
                            std::int64_t high) {
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < low || value > high) {
    return Result<std::int64_t>::failure(option + " takes a whole number from " + std::to_string(low) +
                                         " to " + std::to_string(high) + ", not '" + text + "'");
  }
  return value;
}

}  // namespace

std::filesystem::path defaultDataFolder() {
  if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data)
    return std::filesystem::path(data) / "tilerush-board";
  const char* home = std::getenv("HOME");
  return std::filesystem::path(home ? home : ".") / ".local/share/tilerush-board";
}

Result<Options> parseOptions(const std::vector<std::string>& arguments) {
  Options options;
  options.data = defaultDataFolder();
  using Setter = std::function<Result<Done>(const std::string&, const std::string&)>;
  auto whole = [](auto& field, std::int64_t low, std::int64_t high) {
    return Setter([&field, low, high](const std::string& option, const std::string& text) -> Result<Done> {
      Result<std::int64_t> value = number(option, text, low, high);
      if (!value) return Result<Done>::failure(value.error());
      field = static_cast<std::remove_reference_t<decltype(field)>>(value.value());
      return Done{};
    });
  };
  auto text = [](auto& field) {
    return Setter([&field](const std::string&, const std::string& value) -> Result<Done> {
      field = value;
      return Done{};
    });
  };
  std::int64_t timeout = options.limits.readTimeout.count();
  std::int64_t gameHours = options.allowance.gameMsPerMinute / 3'600'000;
  std::int64_t removed = 0;
  std::string site, proxy, database;
  const std::map<std::string, Setter> setters = {
      {"--listen", text(options.listen)},
      {"--port", whole(options.port, 0, 65535)},
      {"--data", text(options.data)},
      {"--site", text(site)},
      {"--database", text(database)},
      {"--trusted-proxy", text(proxy)},
      {"--remove", whole(removed, 1, INT64_MAX)},
      {"--workers", whole(options.workers, 1, 256)},
      {"--queue", whole(options.queue, 1, 1'000'000)},
      {"--connections", whole(options.limits.connections, 1, 1'000'000)},
      {"--connections-per-address", whole(options.limits.connectionsPerClient, 1, 1'000'000)},
      {"--timeout", whole(timeout, 1, 3600)},
      {"--games-per-minute", whole(options.allowance.gamesPerMinute, 1, 1'000'000)},
      {"--game-hours-per-minute", whole(gameHours, 1, 1'000'000)},
  };
  std::map<std::string, bool> given;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& option = arguments[i];
    if (option == "--help" || option == "-h") {
      options.help = true;
      continue;
    }
    if (option == "--version") {
      options.version = true;
      continue;
    }
    const auto setter = setters.find(option);
    if (setter == setters.end()) return Result<Options>::failure("unknown option '" + option + "'");
    if (given[option]) return Result<Options>::failure(option + " is given twice");
    given[option] = true;
    if (i + 1 >= arguments.size()) return Result<Options>::failure(option + " needs a value");
    if (Result<Done> set = setter->second(option, arguments[++i]); !set)
      return Result<Options>::failure(set.error());
  }
  if (given["--site"]) options.site = site;
  if (given["--database"]) {
    if (!database.starts_with("postgresql://") && !database.starts_with("postgres://"))
      return Result<Options>::failure("--database takes a postgresql:// address, not '" + database + "'");
    options.database = database;
  }
  if (given["--trusted-proxy"]) options.trustedProxy = proxy;
  if (given["--remove"]) options.remove = removed;
  options.limits.readTimeout = std::chrono::seconds(timeout);
  options.allowance.gameMsPerMinute = gameHours * 3'600'000;
  return options;
}

}  // namespace tilerush::board
