// The board's PostgreSQL database: schema under an advisory lock, queries with numbered
// parameters, and an entry's transaction safe against other servers.
#include "server/postgres_storage.h"

#include <libpq-fe.h>

#include <memory>
#include <optional>

#include "server/board_sql.h"
#include "server/names.h"

namespace tilerush::board {
namespace {

constexpr int kSchemaVersion = 1;
// Whichever server takes this lock first makes or upgrades the schema; the others wait.
constexpr const char* kSchemaLock = "SELECT pg_advisory_xact_lock(7106917255341312)";

constexpr const char* kSchema = R"sql(
CREATE TABLE schema_version (version INTEGER NOT NULL);
CREATE TABLE players (
  id BIGSERIAL PRIMARY KEY,
  name TEXT NOT NULL,
  folded TEXT NOT NULL UNIQUE,
  key_sha256 TEXT NOT NULL
);
CREATE TABLE games (
  id BIGSERIAL PRIMARY KEY,
  identity TEXT NOT NULL UNIQUE,
  player BIGINT NOT NULL REFERENCES players(id),
  seed TEXT NOT NULL,
  score BIGINT NOT NULL,
  level INTEGER NOT NULL,
  bricks_left INTEGER NOT NULL,
  time_ms BIGINT NOT NULL,
  game_over INTEGER NOT NULL,
  replay BYTEA NOT NULL,
  core_version TEXT NOT NULL,
  received TEXT COLLATE "C" NOT NULL DEFAULT to_char(clock_timestamp() AT TIME ZONE 'UTC', 'YYYY-MM-DD"T"HH24:MI:SS.MS"Z"')
);
CREATE INDEX games_by_score ON games (score DESC, id);
CREATE INDEX games_by_seed ON games (seed, score DESC, id);
CREATE INDEX games_by_player ON games (player, score DESC, id);
)sql";

struct ResultFree {
  void operator()(PGresult* result) const { PQclear(result); }
};
using Rows = std::unique_ptr<PGresult, ResultFree>;

// A value for a parameter: text, or bytes sent as binary (the replay).
struct Value {
  std::string bytes;
  bool binary = false;
};

Rows check(pg_conn* db, Rows rows) {
  const ExecStatusType status = rows ? PQresultStatus(rows.get()) : PGRES_FATAL_ERROR;
  if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
    const std::string why = PQerrorMessage(db);
    throw StorageError("the database failed: " + why.substr(0, why.find('\n')));
  }
  return rows;
}

// `?` to $1, $2, ...; the queries hold no `?` of their own.
std::string numbered(const std::string& text) {
  std::string out;
  int n = 0;
  for (char c : text) {
    if (c == '?')
      out += "$" + std::to_string(++n);
    else
      out.push_back(c);
  }
  return out;
}

// Without values, `text` may hold several statements (the schema).
Rows query(pg_conn* db, const std::string& text, const std::vector<Value>& values = {}) {
  if (values.empty()) return check(db, Rows(PQexec(db, text.c_str())));
  std::vector<const char*> data;
  std::vector<int> lengths, formats;
  for (const Value& value : values) {
    data.push_back(value.bytes.data());
    lengths.push_back(static_cast<int>(value.bytes.size()));
    formats.push_back(value.binary ? 1 : 0);
  }
  return check(db, Rows(PQexecParams(db, numbered(text).c_str(), static_cast<int>(values.size()), nullptr,
                                     data.data(), lengths.data(), formats.data(), 0)));
}

std::vector<Value> texts(const std::vector<std::string>& strings) {
  std::vector<Value> values;
  values.reserve(strings.size());
  for (const std::string& s : strings) values.push_back({s, false});
  return values;
}

std::string text(const Rows& rows, int row, int column) { return PQgetvalue(rows.get(), row, column); }
std::int64_t integer(const Rows& rows, int row, int column) { return std::stoll(text(rows, row, column)); }

BoardRow rowOf(const Rows& rows, int row) {
  return {0,
          text(rows, row, 1),
          integer(rows, row, 2),
          static_cast<int>(integer(rows, row, 3)),
          integer(rows, row, 4),
          text(rows, row, 5),
          integer(rows, row, 0)};
}

// Rolls back whatever did not reach its commit.
class Transaction {
 public:
  explicit Transaction(pg_conn* db) : db_(db) { query(db, "BEGIN"); }
  ~Transaction() {
    if (!done_) PQclear(PQexec(db_, "ROLLBACK"));
  }
  void commit() {
    query(db_, "COMMIT");
    done_ = true;
  }

 private:
  pg_conn* db_;
  bool done_ = false;
};

void prepareSchema(pg_conn* db) {
  Transaction transaction(db);
  query(db, kSchemaLock);
  if (text(query(db, "SELECT to_regclass('schema_version') IS NULL"), 0, 0) == "t") {
    query(db, kSchema);
    query(db, "INSERT INTO schema_version (version) VALUES (?)", texts({std::to_string(kSchemaVersion)}));
  } else if (const std::int64_t version = integer(query(db, "SELECT MAX(version) FROM schema_version"), 0, 0);
             version > kSchemaVersion) {
    throw StorageError("the database is of schema version " + std::to_string(version) +
                       ", later than this tilerush-board knows (" + std::to_string(kSchemaVersion) + ")");
  }
  transaction.commit();
}

// The same game already on the board: whose it is, where it stands.
std::optional<Submitted> existing(pg_conn* db, const NewEntry& entry) {
  const Rows rows =
      query(db,
            "SELECT g.id, p.key_sha256, g.received FROM games g JOIN players p ON p.id = g.player "
            "WHERE g.identity = ?",
            texts({entry.identity}));
  if (PQntuples(rows.get()) == 0) return std::nullopt;
  const bool yours = text(rows, 0, 1) == entry.keySha256;
  return Submitted{yours ? Outcome::AlreadyYours : Outcome::GameTaken, integer(rows, 0, 0), text(rows, 0, 2)};
}

// One attempt; none when another server added the same game between our look and our insert.
std::optional<Submitted> trySubmit(pg_conn* db, const NewEntry& entry) {
  Transaction transaction(db);
  if (std::optional<Submitted> found = existing(db, entry)) return found;
  // Of two servers binding one name at once, the second waits for the first's commit,
  // then inserts nothing and reads the first's key.
  const std::string folded = foldedName(entry.name);
  Rows player =
      query(db,
            "INSERT INTO players (name, folded, key_sha256) VALUES (?, ?, ?) ON CONFLICT (folded) DO "
            "NOTHING RETURNING id",
            texts({entry.name, folded, entry.keySha256}));
  if (PQntuples(player.get()) == 0) {
    player = query(db, "SELECT id, key_sha256 FROM players WHERE folded = ?", texts({folded}));
    if (text(player, 0, 1) != entry.keySha256) return Submitted{Outcome::NameTaken, 0, ""};
  }
  const Rows added =
      query(db,
            "INSERT INTO games (identity, player, seed, score, level, bricks_left, time_ms, "
            "game_over, replay, core_version) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?) ON CONFLICT "
            "(identity) DO NOTHING RETURNING id, received",
            {{entry.identity},
             {text(player, 0, 0)},
             {entry.seed},
             {std::to_string(entry.score)},
             {std::to_string(entry.level)},
             {std::to_string(entry.bricksLeft)},
             {std::to_string(entry.timeMs)},
             {entry.endedAtGameOver ? "1" : "0"},
             {entry.deflatedReplay, true},
             {entry.coreVersion}});
  if (PQntuples(added.get()) == 0) return std::nullopt;
  const Submitted made{Outcome::Created, integer(added, 0, 0), text(added, 0, 1)};
  transaction.commit();
  return made;
}

}  // namespace

PostgresStorage::Lease::Lease(PostgresStorage& storage) : storage_(storage) {
  std::unique_lock lock(storage.mutex_);
  storage.returned_.wait(lock, [&] { return !storage.idle_.empty(); });
  connection_ = storage.idle_.back();
  storage.idle_.pop_back();
  // A connection the server dropped is opened again before it is used.
  if (PQstatus(connection_) != CONNECTION_OK) PQreset(connection_);
}

PostgresStorage::Lease::~Lease() {
  std::lock_guard lock(storage_.mutex_);
  storage_.idle_.push_back(connection_);
  storage_.returned_.notify_one();
}

PostgresStorage::PostgresStorage(const std::string& url, int connections) {
  for (int i = 0; i < connections; ++i) {
    pg_conn* db = PQconnectdb(url.c_str());
    all_.push_back(db);
    idle_.push_back(db);
    if (PQstatus(db) != CONNECTION_OK) {
      const std::string why = PQerrorMessage(db);
      for (pg_conn* opened : all_) PQfinish(opened);
      throw StorageError("cannot connect to the database: " + why.substr(0, why.find('\n')));
    }
  }
  try {
    prepareSchema(all_.front());
  } catch (...) {
    for (pg_conn* opened : all_) PQfinish(opened);
    throw;
  }
}

PostgresStorage::~PostgresStorage() {
  for (pg_conn* db : all_) PQfinish(db);
}

Submitted PostgresStorage::submit(const NewEntry& entry) {
  Lease db(*this);
  if (std::optional<Submitted> made = trySubmit(*db, entry)) return *made;
  return trySubmit(*db, entry).value();
}

std::vector<BoardRow> PostgresStorage::top(const BoardScope& scope, int count) {
  Lease db(*this);
  std::vector<std::string> values = sql::scopeValues(scope);
  values.push_back(std::to_string(count));
  const Rows rows = query(*db, sql::top(scope), texts(values));
  std::vector<BoardRow> board;
  for (int i = 0; i < PQntuples(rows.get()); ++i) {
    board.push_back(rowOf(rows, i));
    board.back().rank = i + 1;
  }
  return board;
}

std::int64_t PostgresStorage::rankOf(const BoardScope& scope, std::int64_t id) {
  Lease db(*this);
  std::vector<std::string> values = sql::scopeValues(scope);
  const std::vector<std::string> again = values;
  values.insert(values.end(), again.begin(), again.end());
  values.push_back(std::to_string(id));
  const Rows rows = query(*db, sql::rank(scope), texts(values));
  return PQntuples(rows.get()) == 0 ? 0 : integer(rows, 0, 0);
}

std::optional<BoardRow> PostgresStorage::placeOf(const BoardScope& scope, const std::string& name) {
  std::optional<BoardRow> row;
  {
    Lease db(*this);
    std::vector<std::string> values = sql::scopeValues(scope);
    values.push_back(foldedName(name));
    const Rows rows = query(*db, sql::best(scope), texts(values));
    if (PQntuples(rows.get()) == 0) return std::nullopt;
    row = rowOf(rows, 0);
  }
  row->rank = rankOf(scope, row->id);
  return row;
}

std::optional<StoredGame> PostgresStorage::game(std::int64_t id) {
  Lease db(*this);
  const Rows rows = query(*db, sql::game(), texts({std::to_string(id)}));
  if (PQntuples(rows.get()) == 0) return std::nullopt;
  StoredGame game;
  game.row = rowOf(rows, 0);
  game.seed = text(rows, 0, 6);
  game.bricksLeft = static_cast<int>(integer(rows, 0, 7));
  game.endedAtGameOver = integer(rows, 0, 8) != 0;
  std::size_t length = 0;
  unsigned char* bytes =
      PQunescapeBytea(reinterpret_cast<const unsigned char*>(PQgetvalue(rows.get(), 0, 9)), &length);
  if (!bytes) throw StorageError("the database gave a replay that cannot be read");
  game.deflatedReplay.assign(reinterpret_cast<const char*>(bytes), length);
  PQfreemem(bytes);
  game.coreVersion = text(rows, 0, 10);
  return game;
}

bool PostgresStorage::remove(std::int64_t id) {
  Lease db(*this);
  const Rows rows = query(*db, "DELETE FROM games WHERE id = ?", texts({std::to_string(id)}));
  return std::string(PQcmdTuples(rows.get())) != "0";
}

}  // namespace tilerush::board
