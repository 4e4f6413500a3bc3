// A recording whose disk fills up: the failure is said, nothing half written stays
// behind, and what reached the disk still replays.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "app/record_file.h"
#include "game/form1.h"
#include "game/session.h"
#include "sim/recorder.h"
#include "sim/replay.h"

namespace tilerush {
namespace {

TEST(RecordFile, AFullDiskIsSaidWithTheFileAndTheReasonAndTakesNothingMore) {
  auto file = RecordFile::create("/dev/full");
  ASSERT_TRUE(file.ok()) << file.error();
  RecordFile full = std::move(file).value();
  const Result<Done> first = full.write("seed 1\n");
  ASSERT_FALSE(first.ok());
  EXPECT_EQ(first.error(), "cannot write /dev/full: No space left on device");
  EXPECT_TRUE(full.broken());
  EXPECT_EQ(full.write("open\n").error(), first.error());

  const auto missing = RecordFile::create("/nonexistent/folder/game.tilerush");
  ASSERT_FALSE(missing.ok());
  EXPECT_EQ(missing.error(), "cannot write /nonexistent/folder/game.tilerush: No such file or directory");
}

// The file size limit stands in for a disk that fills in the middle of a line.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &before_);
    signal(SIGXFSZ, SIG_IGN);  // so that the write fails instead of ending the test
    rlimit limit = before_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &before_);
    signal(SIGXFSZ, SIG_DFL);
  }

 private:
  rlimit before_{};
};

TEST(RecordFile, AGameWhoseDiskFillsMidLineKeepsItsWholeLinesAndTheyReplay) {
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() / ("tilerush-full-" + std::to_string(getpid()));
  auto created = RecordFile::create(path.string());
  ASSERT_TRUE(created.ok()) << created.error();
  RecordFile file = std::move(created).value();
  std::string failure;
  {
    const FileSizeLimit limit(700);
    Session session([] { return 5u; });
    sim::Recorder recorder(
        session,
        [&](std::string_view lines) {
          if (auto written = file.write(lines); !written && failure.empty()) failure = written.error();
        },
        "test", "today");
    session.setInputLog(&recorder);
    session.open();
    for (int i = 0; i < 40; ++i) {
      session.give(Input::keyDown(i % 2 ? kKeyLeft : kKeyRight));
      session.advanceBy(170);
      session.give(Input::keyUp(i % 2 ? kKeyLeft : kKeyRight));
      session.advanceBy(90);
    }
    recorder.finish();
  }
  EXPECT_EQ(failure, "cannot write " + path.string() + ": File too large");

  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  const std::string kept = text.str();
  std::filesystem::remove(path);
  EXPECT_GT(kept.size(), 300u);
  EXPECT_LE(kept.size(), 700u);
  EXPECT_EQ(kept.back(), '\n') << "a half line stayed behind";
  const auto checked = sim::ReplayCheck::run(std::make_unique<std::istringstream>(kept));
  EXPECT_TRUE(checked.ok()) << checked.error() << "\n" << kept;
}

}  // namespace
}  // namespace tilerush
