// The board kept in one SQLite file: WAL, every commit on the disk before it is
// acknowledged, and the schema made and upgraded by one process at a time.
#pragma once

#include <condition_variable>
#include <filesystem>
#include <memory>
#include <mutex>
#include <vector>

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
  // An entry waiting for the commit that takes it.
  struct Pending {
    const NewEntry* entry = nullptr;
    Submitted result;
    std::optional<std::string> error;
    bool done = false;
  };
  void commitTogether(const std::vector<Pending*>& batch);
  Submitted submitOne(const NewEntry& entry);
  std::int64_t rankLocked(const BoardScope& scope, std::int64_t id);

  // Writes go through one connection and reads through another, so that a reader
  // never waits for a commit's flush (WAL lets them run side by side).
  std::mutex writing_;
  sqlite3* writer_ = nullptr;
  // Entries sent while a commit is on its way to the disk wait here and go in the next
  // one together: one flush for many entries, none acknowledged before its flush.
  std::mutex queueing_;
  std::condition_variable committed_;
  std::vector<Pending*> queue_;
  bool committing_ = false;
  std::mutex reading_;
  sqlite3* reader_ = nullptr;
};

}  // namespace tilerush::board
