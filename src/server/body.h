// Reading the JSON body of a request.
#pragma once

#include <nlohmann/json.hpp>
#include <string_view>

namespace tilerush::board {

// `text` as JSON, or a discarded value where it is none: what nlohmann::json::parse
// answers without exceptions, for any text.
nlohmann::json parseBody(std::string_view text);

}  // namespace tilerush::board
