// The kept games' files: each replay written whole before the list names it, the list
// written to a new file, flushed and renamed over the old, the folder flushed after,
// so that the disk holds the old list or the new at every instant, never a part.
#include "app/kept_store.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>
#include <QStandardPaths>

#include <cerrno>
#include <utility>

namespace tilerush {
namespace {

const QString kList = QStringLiteral("kept-games.txt");
const QString kLock = QStringLiteral("kept-games.lock");
const QString kGames = QStringLiteral("games");
const QString kPlaying = QStringLiteral("playing-");
const QString kReplay = QStringLiteral(".replay");
// Another window holds the lock only while it writes a few kilobytes.
constexpr int kLockWaitMs = 10000;

std::string text(const QString& s) { return s.toStdString(); }

std::optional<std::string> readWhole(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) return std::nullopt;
  return bytes.toStdString();
}

// The rename is on the disk only once the folder that holds the name is.
bool syncFolder(const QString& folder) {
  const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool synced = ::fsync(fd) == 0;
  ::close(fd);
  return synced;
}

bool processRuns(qint64 pid) { return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM; }

}  // namespace

QString KeptStore::defaultFolder() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/tilerush");
}

KeptStore::KeptStore(QString folder, Say say) : folder_(std::move(folder)), say_(std::move(say)) {}

KeptStore::~KeptStore() = default;

void KeptStore::load() {
  update([this](kept::BestGames& list) {
    adoptAbandoned(list);
    return true;
  });
}

bool KeptStore::keep(const std::string& replay, bool over) {
  Result<kept::KeptGame> game = kept::keptFromReplay(replay);
  if (!game) {
    say_("a game could not be kept: " + game.error());
    return false;
  }
  const kept::KeptGame& kept = game.value();
  if ((!over && kept.score == 0) || !list_.wouldRank(kept.score, kept.date)) return false;
  const std::string id = kept.id();
  pending_.add(kept);
  update([](kept::BestGames&) { return true; });
  for (const kept::KeptGame& listed : list_.games())
    if (listed.id() == id) return true;
  return false;
}

bool KeptStore::forget(const std::string& id) {
  pending_.forget(id);
  bool forgotten = false;
  update([&](kept::BestGames& list) { return forgotten = list.forget(id); });
  return forgotten;
}

bool KeptStore::update(const std::function<bool(kept::BestGames&)>& change) {
  if (!QDir().mkpath(path(kGames))) {
    failed("cannot make " + text(path(kGames)));
    list_.merge(pending_);
    return false;
  }
  QLockFile lock(path(kLock));
  if (!lock.tryLock(kLockWaitMs)) {
    failed("cannot lock " + text(path(kLock)));
    list_.merge(pending_);
    return false;
  }
  kept::BestGames list = readOrRebuild();
  list.merge(pending_);
  const kept::BestGames before = list;
  const bool changed = change(list);
  bool written = true;
  for (const kept::KeptGame& game : list.games()) {
    const QString name = kGames + '/' + QString::fromStdString(game.id()) + kReplay;
    if (!QFile::exists(path(name))) written = written && writeWhole(name, game.replay);
  }
  written = written && writeWhole(kList, kept::listText(list));
  list_ = list;
  if (!written) return false;
  pending_ = {};
  removeDropped(before, list);
  return changed;
}

kept::BestGames KeptStore::readOrRebuild() {
  if (!QFile::exists(path(kList))) return rebuild();
  std::optional<std::string> listed = readWhole(path(kList));
  if (!listed) {
    say_("cannot read " + text(path(kList)) + "; the list is made again from the replays beside it");
    return rebuild();
  }
  Result<kept::BestGames> read = kept::readList(*listed);
  if (read) return std::move(read).value();
  say_(text(path(kList)) + ": " + read.error() + "; the list is made again from the replays beside it");
  return rebuild();
}

kept::BestGames KeptStore::rebuild() {
  kept::BestGames list;
  const QStringList names = QDir(path(kGames)).entryList({"*" + kReplay}, QDir::Files, QDir::Name);
  for (const QString& name : names) {
    if (name.startsWith(kPlaying)) continue;
    const QString file = path(kGames + '/' + name);
    std::optional<std::string> replay = readWhole(file);
    if (!replay) {
      say_("cannot read " + text(file) + "; skipped");
      continue;
    }
    Result<kept::KeptGame> game = kept::keptFromReplay(*replay);
    if (!game) {
      say_(text(file) + ": " + game.error() + "; skipped");
      continue;
    }
    list.add(std::move(game).value());
  }
  return list;
}

// A window that crashed or was killed left its game as far as it was played; it
// counts as any game cut short does.
void KeptStore::adoptAbandoned(kept::BestGames& list) {
  const QStringList names = QDir(path(kGames)).entryList({kPlaying + "*" + kReplay}, QDir::Files);
  for (const QString& name : names) {
    bool number = false;
    const qint64 pid = name.mid(kPlaying.size()).chopped(kReplay.size()).toLongLong(&number);
    if (!number || pid == QCoreApplication::applicationPid() || processRuns(pid)) continue;
    if (std::optional<std::string> replay = readWhole(path(kGames + '/' + name))) {
      Result<kept::KeptGame> game = kept::keptFromReplay(*replay);
      if (game && game.value().score > 0) list.add(std::move(game).value());
    }
    QFile::remove(path(kGames + '/' + name));
  }
}

bool KeptStore::writeWhole(const QString& name, const std::string& bytes) {
  QSaveFile file(path(name));
  const bool written =
      file.open(QIODevice::WriteOnly) &&
      file.write(bytes.data(), static_cast<qint64>(bytes.size())) == static_cast<qint64>(bytes.size()) &&
      file.commit();
  if (!written) {
    failed("cannot write " + text(path(name)) + ": " + text(file.errorString()));
    return false;
  }
  const QString folder = QFileInfo(path(name)).absolutePath();
  if (!syncFolder(folder)) failed("cannot flush " + text(folder));
  return true;
}

// Only the games the list names are worth their space: a game that drops out of the
// ten best, or is forgotten, goes with its replay. A file the list never named (one
// that could not be read, say) is the player's to look at, and stays.
void KeptStore::removeDropped(const kept::BestGames& before, const kept::BestGames& after) {
  for (const kept::KeptGame& game : before.games()) {
    const std::string id = game.id();
    bool stays = false;
    for (const kept::KeptGame& kept : after.games()) stays = stays || kept.id() == id;
    if (!stays) QFile::remove(path(kGames + '/' + QString::fromStdString(id) + kReplay));
  }
}

void KeptStore::gameLines(std::string_view lines, bool fresh) {
  if (fresh) {
    playing_.reset();
    if (!QDir().mkpath(path(kGames))) return failed("cannot make " + text(path(kGames)));
    const QString name =
        kGames + '/' + kPlaying + QString::number(QCoreApplication::applicationPid()) + kReplay;
    Result<RecordFile> created = RecordFile::create(text(path(name)));
    if (!created) return failed(created.error());
    playing_.emplace(std::move(created).value());
  }
  if (!playing_ || playing_->broken()) return;
  if (Result<Done> written = playing_->write(lines); !written) failed(written.error());
}

void KeptStore::close() {
  if (!playing_) return;
  playing_.reset();
  QFile::remove(
      path(kGames + '/' + kPlaying + QString::number(QCoreApplication::applicationPid()) + kReplay));
}

void KeptStore::failed(const std::string& what) {
  if (std::exchange(saidFailure_, true)) return;
  say_(what + "; the game plays on");
}

}  // namespace tilerush
