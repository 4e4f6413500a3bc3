// The page's static site, served with the headers the page needs from any host.
#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

#include "server/answers.h"

namespace tilerush::board {

class StaticSite {
 public:
  // `folder` must exist; what is served is only ever a file inside it.
  explicit StaticSite(const std::filesystem::path& folder);
  // The file `target` names (its path, percent-decoded), or 403, 404 or 405.
  Response answer(const Request& request) const;

 private:
  std::optional<std::filesystem::path> fileOf(std::string_view path) const;
  std::filesystem::path top_;
};

// The path of a request's target with its %XX decoded; none for a broken escape or
// an escaped NUL.
std::optional<std::string> decodedPath(std::string_view target);

}  // namespace tilerush::board
