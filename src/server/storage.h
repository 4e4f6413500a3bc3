// Where the board keeps its players and games: one small interface, so that the server
// does not care which database is behind it.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace tilerush::board {

// A game the check has proven, on its way in.
struct NewEntry {
  std::string name;       // as the player wrote it, trimmed
  std::string keySha256;  // the player key's digest, never the key
  std::string identity;   // what makes two sendings one entry
  std::string seed;       // decimal; 64-bit seeds do not fit a database's signed integers
  std::int64_t score = 0;
  int level = 0;
  int bricksLeft = 0;
  std::int64_t timeMs = 0;
  bool endedAtGameOver = false;
  std::string deflatedReplay;
  std::string coreVersion;
};

enum class Outcome {
  Created,       // a new entry
  AlreadyYours,  // the same game again from the key that sent it first
  GameTaken,     // the same game, sent first with another key
  NameTaken,     // the name is bound to another key
};

struct Submitted {
  Outcome outcome = Outcome::Created;
  std::int64_t id = 0;
  std::string received;  // the database's clock, ISO 8601 UTC
};

// Which entries a board holds: all, or those on one seed received in [from, until).
struct BoardScope {
  std::optional<std::string> seed;
  std::string from;   // ISO 8601 UTC, inclusive; empty for no bound
  std::string until;  // exclusive; empty for no bound
};

struct BoardRow {
  std::int64_t rank = 0;
  std::string name;
  std::int64_t score = 0;
  int level = 0;
  std::int64_t timeMs = 0;
  std::string date;
  std::int64_t id = 0;
};

struct StoredGame {
  BoardRow row;  // rank unset
  std::string seed;
  int bricksLeft = 0;
  bool endedAtGameOver = false;
  std::string deflatedReplay;
  std::string coreVersion;
};

// Every call may throw StorageError; the server answers 503 for it.
class Storage {
 public:
  virtual ~Storage() = default;
  // Binds the name to the key if it is free, and adds the game unless it is there
  // already, in one transaction that is durable before this returns.
  virtual Submitted submit(const NewEntry& entry) = 0;
  // The best `count` entries of the scope, ties to the earlier; rank 1 first.
  virtual std::vector<BoardRow> top(const BoardScope& scope, int count) = 0;
  // The best entry of the player of that name in the scope, with its rank.
  virtual std::optional<BoardRow> placeOf(const BoardScope& scope, const std::string& name) = 0;
  // The rank of entry `id` in the scope.
  virtual std::int64_t rankOf(const BoardScope& scope, std::int64_t id) = 0;
  virtual std::optional<StoredGame> game(std::int64_t id) = 0;
  // False when there is no such entry.
  virtual bool remove(std::int64_t id) = 0;
};

class StorageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace tilerush::board
