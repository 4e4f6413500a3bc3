// The player's kept games on disk: the list of the ten best and each one's replay, in
// the data folder, kept whole through crashes, kills, full disks and other windows.
#pragma once

#include <QString>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "app/record_file.h"
#include "kept/best_games.h"

namespace tilerush {

// In `folder`:
//   kept-games.txt       the list (kept::listText), replaced whole, never edited in place
//   kept-games.lock      held while the list is read, merged and written
//   games/ID.replay      the replay of each game the list names, and of no other
//   games/playing-PID.replay  the game the window of that process is playing, as played
class KeptStore {
 public:
  // One line for the player, without the program's name.
  using Say = std::function<void(const std::string& line)>;

  // $XDG_DATA_HOME/tilerush, else ~/.local/share/tilerush.
  static QString defaultFolder();

  KeptStore(QString folder, Say say);
  ~KeptStore();
  KeptStore(const KeptStore&) = delete;
  KeptStore& operator=(const KeptStore&) = delete;

  // Reads the list from the disk (rebuilt from the replay files when it cannot be
  // read) and takes in the games that windows which ended without closing were
  // playing.
  void load();
  const kept::BestGames& list() const { return list_; }

  // Enters the game `replay` holds if it ranks, merged with what other windows kept
  // meanwhile; true if it entered. A game that did not reach "Game Over" (`over`
  // false) and scored nothing is not worth a place.
  bool keep(const std::string& replay, bool over);
  // Forgets game `id`, here and on the disk.
  bool forget(const std::string& id);

  // The game in progress as it is played (stage::Recording::gameLines): `fresh` starts
  // its file over. A write that fails is said once; the game plays on unrecorded.
  void gameLines(std::string_view lines, bool fresh);
  // The window closes: the game in progress was kept or not, its file goes.
  void close();

  const QString& folder() const { return folder_; }

 private:
  QString path(const QString& name) const { return folder_ + '/' + name; }
  // Reads the list on disk, applies `change` to it and writes it back, all under the
  // lock; the list here becomes what was written.
  bool update(const std::function<bool(kept::BestGames&)>& change);
  kept::BestGames readOrRebuild();
  kept::BestGames rebuild();
  void adoptAbandoned(kept::BestGames& list);
  bool writeWhole(const QString& name, const std::string& text);
  void removeDropped(const kept::BestGames& before, const kept::BestGames& after);
  // Says a failure to write once, however often it happens again.
  void failed(const std::string& what);

  QString folder_;
  Say say_;
  kept::BestGames list_;
  // Kept here while the disk refused them, written with the next list that goes out.
  kept::BestGames pending_;
  std::optional<RecordFile> playing_;
  bool saidFailure_ = false;
};

}  // namespace tilerush
