// What the board answers under /api/v1/, and the site beside it.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "server/answers.h"
#include "server/limiter.h"
#include "server/static_site.h"
#include "server/storage.h"
#include "server/work_pool.h"

namespace tilerush::board {

// Gets the answer to a request, on whichever thread made it.
using Reply = std::function<void(Response)>;

class Api {
 public:
  Api(Storage& storage, WorkPool& pool, Limiter& limiter, std::optional<StaticSite> site)
      : storage_(storage), pool_(pool), limiter_(limiter), site_(std::move(site)) {}

  // Answers `request` from `client` (its address, as the limiter counts it): cheap
  // answers at once, a game's check and anything that reads the database on the pool.
  void handle(Request request, const std::string& client, const Reply& reply);

 private:
  void postGame(Request request, const std::string& client, const Reply& reply);
  Response submitGame(const Request& request, const std::string& client);
  Response board(const std::string& which, const std::string& query);
  Response storedGame(const std::string& id);
  // Runs `answer` on the pool; 503 when its queue is full.
  void onPool(const Reply& reply, std::function<Response()> answer);

  Storage& storage_;
  WorkPool& pool_;
  Limiter& limiter_;
  std::optional<StaticSite> site_;
};

}  // namespace tilerush::board
