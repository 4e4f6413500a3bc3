// JSON answers, never sniffed as anything else.
#include "server/answers.h"

namespace tilerush::board {

Response jsonAnswer(http::status status, const nlohmann::json& body) {
  Response answer{status, 11};
  answer.set(http::field::content_type, "application/json");
  answer.set("X-Content-Type-Options", "nosniff");
  answer.set(http::field::cache_control, "no-store");
  // Names are the players' own text: replaced, never refused, if not UTF-8.
  answer.body() = body.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
  answer.prepare_payload();
  return answer;
}

Response errorAnswer(http::status status, const std::string& why) {
  return jsonAnswer(status, {{"error", why}});
}

Response retryLater(http::status status, const std::string& why, int seconds) {
  Response answer = errorAnswer(status, why);
  answer.set(http::field::retry_after, std::to_string(seconds));
  return answer;
}

nlohmann::json rowJson(const BoardRow& row) {
  return {{"rank", row.rank},      {"name", row.name}, {"score", row.score}, {"level", row.level},
          {"time_ms", row.timeMs}, {"date", row.date}, {"id", row.id}};
}

}  // namespace tilerush::board
