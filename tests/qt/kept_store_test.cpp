// The kept games' files under the worst a disk and a player can do: a writer killed at
// any instant, two writers at once, files broken by hand, a disk that fills.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "app/kept_store.h"

namespace tilerush {
namespace {

// A short game of its own for each `n`: what the list keeps does not depend on it
// being long.
std::string replay(int n) {
  return "seed " + std::to_string(n) + "\nopen\nadvance " + std::to_string(n) + "\n";
}

std::string readAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
}

std::set<std::string> idsOf(const kept::BestGames& list) {
  std::set<std::string> ids;
  for (const kept::KeptGame& game : list.games()) ids.insert(game.id());
  return ids;
}

// Runs `body` in a child process, which then ends with status 0.
template <typename Body>
pid_t inChild(Body body) {
  const pid_t pid = fork();
  if (pid == 0) {
    body();
    _exit(0);
  }
  return pid;
}

int statusOf(pid_t pid) {
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class KeptStoreFiles : public ::testing::Test {
 protected:
  QString list() const { return dir_.path() + "/kept-games.txt"; }
  KeptStore store(std::vector<std::string>* said = nullptr) {
    return KeptStore(dir_.path(), [said](const std::string& line) {
      if (said) said->push_back(line);
    });
  }
  QTemporaryDir dir_;
};

TEST_F(KeptStoreFiles, AWriterKilledAtRandomInstantsAlwaysLeavesAWholeList) {
  std::mt19937 random(27);
  for (int round = 0; round < 40; ++round) {
    const pid_t writer = inChild([&] {
      KeptStore kept(dir_.path(), [](const std::string&) {});
      for (int n = 1;; ++n) {
        kept.keep(replay(n % 40 + 1), true);
        if (n % 3 == 0) kept.forget(kept.list().games().front().id());
      }
    });
    usleep(std::uniform_int_distribution<useconds_t>(0, 40'000)(random));
    kill(writer, SIGKILL);
    statusOf(writer);
    if (!QFile::exists(list())) continue;
    Result<kept::BestGames> read = kept::readList(readAll(list()));
    ASSERT_TRUE(read) << "round " << round << ": " << read.error();
    for (const kept::KeptGame& game : read.value().games())
      EXPECT_TRUE(QFile::exists(dir_.path() + "/games/" + QString::fromStdString(game.id()) + ".replay"));
  }
}

TEST_F(KeptStoreFiles, TwoWritersAtOnceLoseNoGameOfEachOther) {
  std::set<std::string> ids;
  std::vector<pid_t> writers;
  for (int first : {1, 6}) {
    for (int n = first; n < first + 5; ++n) ids.insert(kept::replayId(replay(n)));
    writers.push_back(inChild([&] {
      KeptStore kept(dir_.path(), [](const std::string&) {});
      for (int n = first; n < first + 5; ++n) kept.keep(replay(n), true);
    }));
  }
  for (pid_t writer : writers) EXPECT_EQ(statusOf(writer), 0);
  KeptStore kept = store();
  kept.load();
  EXPECT_EQ(idsOf(kept.list()), ids);
}

TEST_F(KeptStoreFiles, ACorruptListAndACorruptReplayAreEachSaidAndTheRestIsKept) {
  KeptStore first = store();
  for (int n = 1; n <= 3; ++n) first.keep(replay(n), true);
  const std::set<std::string> kept = idsOf(first.list());
  ASSERT_EQ(kept.size(), 3u);
  QFile::resize(list(), 60);
  QFile broken(dir_.path() + "/games/broken.replay");
  ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
  broken.write("seed 1\nopen\nexpect points 99\n");
  broken.close();

  std::vector<std::string> said;
  KeptStore again = store(&said);
  again.load();
  ASSERT_EQ(said.size(), 2u);
  EXPECT_NE(said[0].find("kept-games.txt: "), std::string::npos) << said[0];
  EXPECT_NE(said[0].find("made again from the replays"), std::string::npos) << said[0];
  EXPECT_NE(said[1].find("broken.replay: "), std::string::npos) << said[1];
  EXPECT_NE(said[1].find("; skipped"), std::string::npos) << said[1];
  EXPECT_EQ(idsOf(again.list()), kept);
  EXPECT_TRUE(kept::readList(readAll(list()))) << "the list made again is written whole";
}

TEST_F(KeptStoreFiles, AFullDiskIsSaidOnceAndTheGameGoesOn) {
  int pipe[2];
  ASSERT_EQ(::pipe(pipe), 0);
  const pid_t player = inChild([&] {
    signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{700, 700};
    setrlimit(RLIMIT_FSIZE, &limit);
    KeptStore kept(dir_.path(), [&](const std::string& line) {
      const std::string said = line + "\n";
      (void)!write(pipe[1], said.data(), said.size());
    });
    kept.gameLines("seed 1\nopen\n", true);
    for (int n = 1; n <= 60; ++n) {
      kept.gameLines("advance 25\nkey down 39\n", false);
      if (n % 10 == 0) kept.keep(replay(n), true);
    }
    kept.gameLines("seed 2\nopen\n", true);
  });
  close(pipe[1]);
  std::string said;
  char chunk[256];
  for (ssize_t n; (n = read(pipe[0], chunk, sizeof chunk)) > 0;)
    said.append(chunk, static_cast<std::size_t>(n));
  close(pipe[0]);
  EXPECT_EQ(statusOf(player), 0) << "the game went on";
  EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
  EXPECT_NE(said.find("File too large; the game plays on"), std::string::npos) << said;
  if (QFile::exists(list())) {
    EXPECT_TRUE(kept::readList(readAll(list())));
  }
}

}  // namespace
}  // namespace tilerush
