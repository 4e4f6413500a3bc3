// The board's SQLite database: schema, statements, and the transaction of an entry.
#include "server/sqlite_storage.h"

#include <sqlite3.h>

#include <string>

#include "server/board_sql.h"
#include "server/names.h"

namespace tilerush::board {
namespace {

// The schema this program writes; a database of a later one is refused, not misread.
constexpr int kSchemaVersion = 1;

constexpr const char* kSchema = R"sql(
CREATE TABLE schema_version (version INTEGER NOT NULL);
CREATE TABLE players (
  id INTEGER PRIMARY KEY,
  name TEXT NOT NULL,
  folded TEXT NOT NULL UNIQUE,
  key_sha256 TEXT NOT NULL
);
CREATE TABLE games (
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  identity TEXT NOT NULL UNIQUE,
  player INTEGER NOT NULL REFERENCES players(id),
  seed TEXT NOT NULL,
  score INTEGER NOT NULL,
  level INTEGER NOT NULL,
  bricks_left INTEGER NOT NULL,
  time_ms INTEGER NOT NULL,
  game_over INTEGER NOT NULL,
  replay BLOB NOT NULL,
  core_version TEXT NOT NULL,
  received TEXT NOT NULL DEFAULT (strftime('%Y-%m-%dT%H:%M:%fZ', 'now'))
);
CREATE INDEX games_by_score ON games (score DESC, id);
CREATE INDEX games_by_seed ON games (seed, score DESC, id);
CREATE INDEX games_by_player ON games (player, score DESC, id);
)sql";

[[noreturn]] void fail(sqlite3* db, const std::string& doing) {
  throw StorageError("the database failed while " + doing + ": " +
                     (db ? sqlite3_errmsg(db) : "out of memory"));
}

// One prepared statement; every value goes in as a bound parameter.
class Statement {
 public:
  Statement(sqlite3* db, const std::string& sql) : db_(db) {
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement_, nullptr) != SQLITE_OK)
      fail(db, "preparing a query");
  }
  ~Statement() { sqlite3_finalize(statement_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  Statement& bind(std::int64_t value) {
    check(sqlite3_bind_int64(statement_, ++bound_, value));
    return *this;
  }
  Statement& bind(const std::string& text) {
    check(sqlite3_bind_text(statement_, ++bound_, text.data(), static_cast<int>(text.size()),
                            SQLITE_TRANSIENT));
    return *this;
  }
  Statement& bindBlob(const std::string& bytes) {
    check(sqlite3_bind_blob(statement_, ++bound_, bytes.data(), static_cast<int>(bytes.size()),
                            SQLITE_TRANSIENT));
    return *this;
  }
  // True while there is a row to read.
  bool step() {
    const int status = sqlite3_step(statement_);
    if (status == SQLITE_ROW) return true;
    if (status == SQLITE_DONE) return false;
    fail(db_, "running a query");
  }
  std::int64_t integer(int column) const { return sqlite3_column_int64(statement_, column); }
  std::string text(int column) const {
    const auto* bytes = static_cast<const char*>(sqlite3_column_blob(statement_, column));
    return bytes ? std::string(bytes, static_cast<std::size_t>(sqlite3_column_bytes(statement_, column)))
                 : "";
  }

 private:
  void check(int status) {
    if (status != SQLITE_OK) fail(db_, "binding a value");
  }
  sqlite3* db_;
  sqlite3_stmt* statement_ = nullptr;
  int bound_ = 0;
};

void run(sqlite3* db, const char* sql, const std::string& doing) {
  if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK) fail(db, doing);
}

// Rolls back whatever did not reach its commit.
class Transaction {
 public:
  explicit Transaction(sqlite3* db) : db_(db) { run(db, "BEGIN IMMEDIATE", "starting a transaction"); }
  ~Transaction() {
    if (!done_) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
  }
  void commit() {
    run(db_, "COMMIT", "committing");
    done_ = true;
  }

 private:
  sqlite3* db_;
  bool done_ = false;
};

sqlite3* openConnection(const std::filesystem::path& file) {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                      nullptr) != SQLITE_OK) {
    const std::string why = db ? sqlite3_errmsg(db) : "out of memory";
    sqlite3_close(db);
    throw StorageError("cannot open the database " + file.string() + ": " + why);
  }
  // Other processes may hold the database for a moment (a second server, a backup).
  sqlite3_busy_timeout(db, 10'000);
  try {
    // Only a commit that is on the disk is acknowledged.
    run(db, "PRAGMA journal_mode = WAL; PRAGMA synchronous = FULL; PRAGMA foreign_keys = ON",
        "setting it up");
  } catch (...) {
    sqlite3_close(db);
    throw;
  }
  return db;
}

// Makes the schema, or checks it, under BEGIN IMMEDIATE: one process at a time.
void prepareSchema(sqlite3* db) {
  Transaction transaction(db);
  Statement exists(db, "SELECT COUNT(*) FROM sqlite_master WHERE type = 'table' AND name = 'schema_version'");
  exists.step();
  if (exists.integer(0) == 0) {
    run(db, kSchema, "making its tables");
    Statement(db, "INSERT INTO schema_version (version) VALUES (?)").bind(kSchemaVersion).step();
  } else {
    Statement version(db, "SELECT MAX(version) FROM schema_version");
    version.step();
    if (version.integer(0) > kSchemaVersion) {
      throw StorageError("the database is of schema version " + std::to_string(version.integer(0)) +
                         ", later than this tilerush-board knows (" + std::to_string(kSchemaVersion) + ")");
    }
  }
  transaction.commit();
}

void bindScope(Statement& statement, const BoardScope& scope) {
  for (const std::string& value : sql::scopeValues(scope)) statement.bind(value);
}

BoardRow rowOf(const Statement& statement) {
  BoardRow row;
  row.id = statement.integer(0);
  row.name = statement.text(1);
  row.score = statement.integer(2);
  row.level = static_cast<int>(statement.integer(3));
  row.timeMs = statement.integer(4);
  row.date = statement.text(5);
  return row;
}

}  // namespace

SqliteStorage::SqliteStorage(const std::filesystem::path& file) {
  writer_ = openConnection(file);
  try {
    prepareSchema(writer_);
    reader_ = openConnection(file);
  } catch (...) {
    sqlite3_close(writer_);
    throw;
  }
}

SqliteStorage::~SqliteStorage() {
  sqlite3_close(reader_);
  sqlite3_close(writer_);
}

Submitted SqliteStorage::submit(const NewEntry& entry) {
  Pending mine{&entry, {}, {}, false};
  std::vector<Pending*> batch;
  {
    std::unique_lock lock(queueing_);
    queue_.push_back(&mine);
    committed_.wait(lock, [&] { return mine.done || !committing_; });
    if (!mine.done) {
      // This thread commits everything queued so far, its own entry among them.
      committing_ = true;
      batch.swap(queue_);
    }
  }
  if (!batch.empty()) {
    commitTogether(batch);
    std::lock_guard lock(queueing_);
    for (Pending* pending : batch) pending->done = true;
    committing_ = false;
    committed_.notify_all();
  }
  if (mine.error) throw StorageError(*mine.error);
  return mine.result;
}

// One transaction for the batch; each entry in a savepoint of its own, so that one
// that fails leaves the others in.
void SqliteStorage::commitTogether(const std::vector<Pending*>& batch) {
  std::lock_guard lock(writing_);
  try {
    Transaction transaction(writer_);
    for (Pending* pending : batch) {
      run(writer_, "SAVEPOINT entry", "starting an entry");
      try {
        pending->result = submitOne(*pending->entry);
        run(writer_, "RELEASE entry", "ending an entry");
      } catch (const StorageError& e) {
        pending->error = e.what();
        run(writer_, "ROLLBACK TO entry; RELEASE entry", "undoing an entry");
      }
    }
    transaction.commit();
  } catch (const StorageError& e) {
    for (Pending* pending : batch) pending->error = e.what();
  }
}

Submitted SqliteStorage::submitOne(const NewEntry& entry) {
  Statement known(writer_,
                  "SELECT g.id, p.key_sha256, g.received FROM games g JOIN players p ON p.id = g.player "
                  "WHERE g.identity = ?");
  if (known.bind(entry.identity).step()) {
    const bool yours = known.text(1) == entry.keySha256;
    return {yours ? Outcome::AlreadyYours : Outcome::GameTaken, known.integer(0), known.text(2)};
  }
  Statement player(writer_, "SELECT id, key_sha256 FROM players WHERE folded = ?");
  std::int64_t playerId = 0;
  if (player.bind(foldedName(entry.name)).step()) {
    if (player.text(1) != entry.keySha256) return {Outcome::NameTaken, 0, ""};
    playerId = player.integer(0);
  } else {
    Statement bindName(writer_, "INSERT INTO players (name, folded, key_sha256) VALUES (?, ?, ?)");
    bindName.bind(entry.name).bind(foldedName(entry.name)).bind(entry.keySha256).step();
    playerId = sqlite3_last_insert_rowid(writer_);
  }
  Statement add(
      writer_,
      "INSERT INTO games (identity, player, seed, score, level, bricks_left, time_ms, game_over, replay, "
      "core_version) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?) RETURNING id, received");
  add.bind(entry.identity).bind(playerId).bind(entry.seed).bind(entry.score).bind(entry.level);
  add.bind(entry.bricksLeft).bind(entry.timeMs).bind(entry.endedAtGameOver ? 1 : 0);
  add.bindBlob(entry.deflatedReplay).bind(entry.coreVersion);
  add.step();
  Submitted made{Outcome::Created, add.integer(0), add.text(1)};
  while (add.step()) {
  }
  return made;
}

std::vector<BoardRow> SqliteStorage::top(const BoardScope& scope, int count) {
  std::lock_guard lock(reading_);
  Statement rows(reader_, sql::top(scope));
  bindScope(rows, scope);
  rows.bind(count);
  std::vector<BoardRow> board;
  while (rows.step()) {
    board.push_back(rowOf(rows));
    board.back().rank = static_cast<std::int64_t>(board.size());
  }
  return board;
}

std::int64_t SqliteStorage::rankLocked(const BoardScope& scope, std::int64_t id) {
  Statement rank(reader_, sql::rank(scope));
  bindScope(rank, scope);
  bindScope(rank, scope);
  rank.bind(id);
  rank.step();
  return rank.integer(0);
}

std::int64_t SqliteStorage::rankOf(const BoardScope& scope, std::int64_t id) {
  std::lock_guard lock(reading_);
  return rankLocked(scope, id);
}

std::optional<BoardRow> SqliteStorage::placeOf(const BoardScope& scope, const std::string& name) {
  std::lock_guard lock(reading_);
  Statement best(reader_, sql::best(scope));
  bindScope(best, scope);
  best.bind(foldedName(name));
  if (!best.step()) return std::nullopt;
  BoardRow row = rowOf(best);
  row.rank = rankLocked(scope, row.id);
  return row;
}

std::optional<StoredGame> SqliteStorage::game(std::int64_t id) {
  std::lock_guard lock(reading_);
  Statement found(reader_, sql::game());
  if (!found.bind(id).step()) return std::nullopt;
  StoredGame game;
  game.row = rowOf(found);
  game.seed = found.text(6);
  game.bricksLeft = static_cast<int>(found.integer(7));
  game.endedAtGameOver = found.integer(8) != 0;
  game.deflatedReplay = found.text(9);
  game.coreVersion = found.text(10);
  return game;
}

bool SqliteStorage::remove(std::int64_t id) {
  std::lock_guard lock(writing_);
  Transaction transaction(writer_);
  Statement removal(writer_, "DELETE FROM games WHERE id = ?");
  removal.bind(id).step();
  const bool removed = sqlite3_changes(writer_) > 0;
  transaction.commit();
  return removed;
}

}  // namespace tilerush::board
