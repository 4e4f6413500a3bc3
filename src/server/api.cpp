// The routes of the board's API, and what each does.
#include "server/api.h"

#include <charconv>

#include "links/replay_link.h"
#include "proof/check.h"
#include "proof/sha256.h"
#include "server/body.h"
#include "server/days.h"
#include "server/names.h"
#include "server/query.h"
#include "version.h"

namespace tilerush::board {
namespace {

using nlohmann::json;

constexpr std::string_view kApi = "/api/v1/";
// How many entries a board lists.
constexpr int kBoardLength = 100;
// What a client told the queue is full waits before trying again, in seconds.
constexpr int kBusyRetrySeconds = 5;
// zlib's level for stored replays. Every entry is deflated while its sender waits and
// read back rarely: level 3 takes half the time of the default (6) on a five-minute
// game's 130 kB and keeps it in about 3.8 kB instead of 2.6 kB.
constexpr int kStoredDeflateLevel = 3;

bool isJson(std::string_view type) {
  type = type.substr(0, type.find(';'));
  while (!type.empty() && type.back() == ' ') type.remove_suffix(1);
  return type.size() == 16 && std::equal(type.begin(), type.end(), "application/json",
                                         [](char a, char b) { return std::tolower(a) == b; });
}

std::optional<std::int64_t> wholeNumber(std::string_view text) {
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < 1) return std::nullopt;
  return value;
}

// Boards change with each entry; a few seconds of caching spares the database a crowd.
Response cacheable(Response answer, int seconds) {
  answer.set(http::field::cache_control, "public, max-age=" + std::to_string(seconds));
  return answer;
}

// Where the rank of a new entry is counted: its day's board if it is on one.
std::pair<BoardScope, std::string> boardOf(const Submitted& submitted, const std::string& seed) {
  if (const std::optional<kept::Day> day = boardDayOf(submitted.received, seed))
    return {dayScope(*day), "day/" + kept::dayText(*day)};
  return {BoardScope{}, "all-time"};
}

}  // namespace

void Api::handle(Request request, const std::string& client, const Reply& reply) {
  const std::string_view target = view(request.target());
  const std::string path(target.substr(0, target.find('?')));
  const std::string query(target.size() > path.size() ? target.substr(path.size() + 1) : "");
  if (!path.starts_with(kApi.substr(0, kApi.size() - 1)) || (path.size() > 7 && path[7] != '/')) {
    if (site_) return reply(site_->answer(request));
    return reply(
        errorAnswer(http::status::not_found, "There is nothing here; the board's API is under /api/v1/."));
  }
  const bool get = request.method() == http::verb::get || request.method() == http::verb::head;
  if (path == kApi && get)
    return reply(jsonAnswer(http::status::ok, {{"service", "tilerush-board"}, {"api", 1}}));
  if (path == "/api/v1/games" && request.method() == http::verb::post)
    return postGame(std::move(request), client, reply);
  if (path.starts_with("/api/v1/boards/") && get) {
    std::string which = path.substr(15);
    return onPool(reply, [this, which, query] { return board(which, query); });
  }
  if (path.starts_with("/api/v1/games/") && get) {
    std::string id = path.substr(14);
    return onPool(reply, [this, id] { return storedGame(id); });
  }
  reply(errorAnswer(http::status::not_found, "The board has no such thing to answer."));
}

void Api::onPool(const Reply& reply, std::function<Response()> answer) {
  const bool queued = pool_.tryPost([reply, answer = std::move(answer)] {
    try {
      reply(answer());
    } catch (const StorageError&) {
      reply(retryLater(http::status::service_unavailable, "The board's database cannot answer just now.",
                       kBusyRetrySeconds));
    } catch (const std::exception&) {
      // A worker thread must never end the program: this request fails, the board goes on.
      reply(errorAnswer(http::status::internal_server_error, "The board failed to answer this request."));
    }
  });
  if (!queued)
    reply(retryLater(http::status::service_unavailable,
                     "The board is busy checking other games; try again shortly.", kBusyRetrySeconds));
}

void Api::postGame(Request request, const std::string& client, const Reply& reply) {
  if (!isJson(view(request[http::field::content_type])))
    return reply(errorAnswer(http::status::unsupported_media_type, "A game is sent as application/json."));
  if (request.count(http::field::content_encoding) > 0)
    return reply(
        errorAnswer(http::status::unsupported_media_type, "A game is sent without a Content-Encoding."));
  if (const int wait = limiter_.takeGame(client); wait > 0) {
    return reply(retryLater(http::status::too_many_requests,
                            "Your address has sent as many games, or as much game time, as the board checks "
                            "in a minute; try again in " +
                                std::to_string(wait) + " seconds.",
                            wait));
  }
  auto shared = std::make_shared<Request>(std::move(request));
  onPool(reply, [this, shared, client] { return submitGame(*shared, client); });
}

Response Api::submitGame(const Request& request, const std::string& client) {
  const json body = parseBody(request.body());
  if (body.is_discarded() || !body.is_object())
    return errorAnswer(http::status::bad_request, "The body is not a JSON object.");
  for (const char* field : {"name", "key", "replay"}) {
    if (!body.contains(field) || !body[field].is_string())
      return errorAnswer(http::status::unprocessable_entity,
                         std::string("The game has no \"") + field + "\" text.");
  }
  const std::optional<std::string> name = playerName(body["name"].get<std::string>());
  if (!name)
    return errorAnswer(http::status::unprocessable_entity, "A name is 1 to 24 printable ASCII characters.");
  const std::string key = body["key"].get<std::string>();
  if (!isPlayerKey(key)) {
    return errorAnswer(http::status::unprocessable_entity,
                       "A player key is 22 to 256 characters of base64url or hex, made at random once.");
  }
  const Result<proof::ProvenGame> game = proof::proveGame(body["replay"].get_ref<const std::string&>());
  if (!game) {
    const bool tooLarge = game.error().find(" is larger than ") != std::string::npos;
    return errorAnswer(tooLarge ? http::status::payload_too_large : http::status::unprocessable_entity,
                       "The replay is refused: " + game.error() + ".");
  }
  limiter_.chargeGameTime(client, game.value().timeMs);
  const proof::ProvenGame& proven = game.value();
  NewEntry entry{*name,
                 proof::sha256Hex(key),
                 proven.identity,
                 std::to_string(proven.seed),
                 proven.score,
                 proven.level,
                 proven.bricksLeft,
                 proven.timeMs,
                 proven.endedAtGameOver,
                 deflated(proven.replay, kStoredDeflateLevel),
                 kVersion};
  const Submitted submitted = storage_.submit(entry);
  if (submitted.outcome == Outcome::NameTaken)
    return errorAnswer(http::status::conflict, "That name belongs to another player.");
  if (submitted.outcome == Outcome::GameTaken)
    return errorAnswer(http::status::conflict, "That game was sent by another player first.");
  const auto [scope, boardName] = boardOf(submitted, entry.seed);
  const json answer = {{"id", submitted.id},
                       {"rank", storage_.rankOf(scope, submitted.id)},
                       {"score", proven.score},
                       {"board", boardName}};
  return jsonAnswer(submitted.outcome == Outcome::Created ? http::status::created : http::status::ok, answer);
}

Response Api::board(const std::string& which, const std::string& query) {
  BoardScope scope;
  if (which == "today") {
    scope = dayScope(kept::dayInUtc(std::chrono::system_clock::now()));
  } else if (which.starts_with("day/")) {
    const std::optional<kept::Day> day = kept::parseDay(std::string_view(which).substr(4));
    if (!day) return errorAnswer(http::status::not_found, "A day's board is named by its date, YYYY-MM-DD.");
    scope = dayScope(*day);
  } else if (which != "all-time") {
    return errorAnswer(http::status::not_found, "The boards are all-time, today and day/YYYY-MM-DD.");
  }
  json entries = json::array();
  for (const BoardRow& row : storage_.top(scope, kBoardLength)) entries.push_back(rowJson(row));
  json answer = {{"board", which}, {"entries", entries}};
  if (which != "all-time") answer["seed"] = *scope.seed;
  if (const std::optional<std::string> name = queryValue(query, "name")) {
    const std::optional<BoardRow> place = storage_.placeOf(scope, *name);
    answer["player"] = place ? rowJson(*place) : json(nullptr);
  }
  return cacheable(jsonAnswer(http::status::ok, answer), 5);
}

Response Api::storedGame(const std::string& id) {
  const std::optional<std::int64_t> number = wholeNumber(id);
  const std::optional<StoredGame> game = number ? storage_.game(*number) : std::nullopt;
  if (!game) return errorAnswer(http::status::not_found, "There is no game of that id on the board.");
  const Result<std::string> replay = inflated(game->deflatedReplay, "the stored game");
  if (!replay) return errorAnswer(http::status::internal_server_error, "The stored game cannot be read.");
  json answer = rowJson(game->row);
  answer.erase("rank");
  answer["seed"] = game->seed;
  answer["bricks_left"] = game->bricksLeft;
  answer["ended_at_game_over"] = game->endedAtGameOver;
  answer["version"] = game->coreVersion;
  answer["replay"] = replay.value();
  return cacheable(jsonAnswer(http::status::ok, answer), 60);
}

}  // namespace tilerush::board
