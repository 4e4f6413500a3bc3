// The board kept in one SQLite file: WAL, every commit on the disk before it is
// acknowledged, and the schema made and upgraded by one process at a time.
#pragma once

#include <filesystem>
#include <memory>
#include <mutex>

#include "server/storage.h"

struct sqlite3;

namespace tilerush::board {

class SqliteStorage : public Storage {
 public:
  // Opens (or makes) the database at `file`; a schema newer than this program knows,
  // or a file that is no database, is a StorageError.
  explicit SqliteStorage(const std::filesystem::path& file);
  ~SqliteStorage() override;

  Submitted submit(const NewEntry& entry) override;
  std::vector<BoardRow> top(const BoardScope& scope, int count) override;
  std::optional<BoardRow> placeOf(const BoardScope& scope, const std::string& name) override;
  std::int64_t rankOf(const BoardScope& scope, std::int64_t id) override;
  std::optional<StoredGame> game(std::int64_t id) override;
  bool remove(std::int64_t id) override;

 private:
  Submitted submitLocked(const NewEntry& entry);
  std::int64_t rankLocked(const BoardScope& scope, std::int64_t id);

  // Writes go through one connection and reads through another, so that a reader
  // never waits for a commit's flush (WAL lets them run side by side).
  std::mutex writing_;
  sqlite3* writer_ = nullptr;
  std::mutex reading_;
  sqlite3* reader_ = nullptr;
};

}  // namespace tilerush::board
