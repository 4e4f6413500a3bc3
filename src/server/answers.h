// The shapes of the board's answers: JSON with the right headers, and errors as one
// sentence.
#pragma once

#include <boost/beast/http.hpp>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

#include "server/storage.h"

namespace tilerush::board {

namespace http = boost::beast::http;
using Request = http::request<http::string_body>;
using Response = http::response<http::string_body>;

// Beast's string_view as the standard library's.
inline std::string_view view(boost::beast::string_view text) { return {text.data(), text.size()}; }

Response jsonAnswer(http::status status, const nlohmann::json& body);
// {"error": "..."}: `why` is one sentence, ending with its full stop.
Response errorAnswer(http::status status, const std::string& why);
// 429 and 503 say when to ask again.
Response retryLater(http::status status, const std::string& why, int seconds);
nlohmann::json rowJson(const BoardRow& row);

}  // namespace tilerush::board
