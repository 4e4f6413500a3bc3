// The board kept in PostgreSQL, through libpq: the same schema and behaviour as SQLite,
// for when one machine is not enough. Any number of servers share one database; each
// keeps nothing of its own but its limits.
#pragma once

#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "server/storage.h"

struct pg_conn;

namespace tilerush::board {

class PostgresStorage : public Storage {
 public:
  // Connects `connections` times to `url` (a libpq connection string; "postgresql://"
  // alone takes everything from the PG* environment) and makes or checks the schema.
  PostgresStorage(const std::string& url, int connections);
  ~PostgresStorage() override;

  Submitted submit(const NewEntry& entry) override;
  std::vector<BoardRow> top(const BoardScope& scope, int count) override;
  std::optional<BoardRow> placeOf(const BoardScope& scope, const std::string& name) override;
  std::int64_t rankOf(const BoardScope& scope, std::int64_t id) override;
  std::optional<StoredGame> game(std::int64_t id) override;
  bool remove(std::int64_t id) override;

 private:
  // A connection of the pool, given back when it goes.
  class Lease {
   public:
    explicit Lease(PostgresStorage& storage);
    ~Lease();
    pg_conn* operator*() const { return connection_; }

   private:
    PostgresStorage& storage_;
    pg_conn* connection_;
  };

  std::mutex mutex_;
  std::condition_variable returned_;
  std::vector<pg_conn*> idle_;
  std::vector<pg_conn*> all_;
};

}  // namespace tilerush::board
