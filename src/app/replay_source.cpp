// Reading a replay from a file or a link, then its headless check.
#include "app/replay_source.h"

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "links/replay_link.h"
#include "stage/facts.h"

namespace tilerush {
namespace {

static_assert(stage::kLongestReplayBytes == kLongestReplayBytes, "a file and a link hold a replay alike");

// Replays are watched from memory, so a file is held to what a link may hold, as the
// page holds its files: a day of play with the keys writes under 12 MiB.
Result<std::string> fileContents(const std::string& path) {
  std::error_code error;
  if (std::filesystem::is_directory(path, error))
    return Result<std::string>::failure("cannot read " + path + ": it is a folder");
  std::ifstream file(path, std::ios::binary);
  if (!file) return Result<std::string>::failure("cannot read " + path);
  std::string text;
  char chunk[64 * 1024];
  while (file.read(chunk, sizeof chunk) || file.gcount() > 0) {
    text.append(chunk, static_cast<std::size_t>(file.gcount()));
    if (text.size() > stage::kLongestReplayBytes)
      return Result<std::string>::failure(path + ": larger than " + mebibytes(stage::kLongestReplayBytes) +
                                          ", more than a replay can be");
  }
  if (file.bad()) return Result<std::string>::failure("cannot read " + path);
  return text;
}

// A link can be long, and anyone can make one: the message names it by its start,
// with nothing in it that could break the one line or drive the terminal.
std::string shortName(const std::string& link) {
  std::string name = link.size() <= 40 ? link : link.substr(0, 37) + "...";
  for (char& c : name) {
    if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7F) c = '?';
  }
  return name;
}

}  // namespace

Result<CheckedReplay> checkedReplay(const std::string& argument) {
  std::error_code error;
  const bool link = looksLikeReplayLink(argument) && !std::filesystem::exists(argument, error);
  const std::string name = link ? shortName(argument) : argument;
  Result<std::string> script = link ? replayOfLink(argument) : fileContents(argument);
  if (!script) {
    return Result<CheckedReplay>::failure(link ? name + ": " + script.error() : script.error());
  }
  return checkedScript(std::move(script).value(), name);
}

Result<CheckedReplay> checkedScript(std::string script, const std::string& name) {
  sim::ReplayCheck check(std::make_unique<std::istringstream>(script), stage::kLongestReplayMs);
  while (!check.proceed(stage::kLongestReplayMs)) {
  }
  if (!check.wrong().empty()) return Result<CheckedReplay>::failure(name + ": " + check.wrong());
  return CheckedReplay{std::move(script), check.facts()};
}

Result<levels::LevelChoice> chosenLevels(const std::string& argument) {
  std::error_code error;
  const bool link = looksLikeLevelsLink(argument) && !std::filesystem::exists(argument, error);
  const std::string name = link ? shortName(argument) : argument;
  Result<std::string> text =
      link ? levelsTextOfLink(argument, levels::kLongestSetText) : fileContents(argument);
  if (!text) return Result<levels::LevelChoice>::failure(link ? name + ": " + text.error() : text.error());
  Result<levels::LevelSet> set = levels::readLevelSet(text.value());
  if (!set) return Result<levels::LevelChoice>::failure(name + ": " + set.error());
  return levels::LevelChoice{std::move(set).value(), 1};
}

}  // namespace tilerush
