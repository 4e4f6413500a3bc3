// The query of a request's target: "?name=Ann+Lee&x=1".
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tilerush::board {

// The value of the first `key` in `query` (the text after "?"), with "+" as a blank
// and %XX decoded; none when it is absent or its escapes are broken.
std::optional<std::string> queryValue(std::string_view query, std::string_view key);

}  // namespace tilerush::board
