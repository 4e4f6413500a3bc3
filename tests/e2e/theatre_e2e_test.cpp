// A replay watched in the real window like a video: End shows, pixel for pixel, what
// watching it to its end shows; a race, from --race or from "Play this game", is a
// game of the player's own on the replay's first draws, recorded like any other.
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "game_on_xvfb.h"

namespace tilerush::e2e {
namespace {

// Eight seconds of a game: the ball launched, the paddle moved under it and away.
constexpr const char* kReplay =
    "seed 1\nopen\nadvance 700\nkey down 39\nadvance 400\nkey up 39\nadvance 1500\nkey down 37\n"
    "advance 900\nkey up 37\nadvance 4500\nexpect lives 1\n";

class Theatre : public GameOnXvfb {
 protected:
  void SetUp() override {
    replay_ = scratch() + "/watched.tilerush";
    std::ofstream(replay_, std::ios::binary) << kReplay;
  }
  // The verdict said on standard output, waited for.
  std::string verdictOf(const std::string& said) {
    for (int i = 0; i < 1000 && readFile(said).empty(); ++i) pause(20);
    return readFile(said);
  }
  // The picture once it has stopped changing: the last repaint has reached the screen.
  Frame settledPicture() {
    Frame last = grab();
    for (int i = 0; i < 100; ++i) {
      pause(100);
      Frame now = grab();
      if (now.pixels == last.pixels) return now;
      last = std::move(now);
    }
    return last;
  }
  void closeWindow(int status) {
    x_->requestClose(window_);
    EXPECT_EQ(game_->waitExit(std::chrono::seconds(10)), status);
  }

  std::string replay_;
};

TEST_F(Theatre, EndShowsPixelForPixelWhatWatchingToTheEndShows) {
  const std::string watched = scratch() + "/watched.txt";
  start({}, {"--mute", replay_}, {}, watched);
  EXPECT_EQ(verdictOf(watched), "replay: all 1 expectations held\n");
  const Frame end = settledPicture();
  closeWindow(0);

  const std::string jumped = scratch() + "/jumped.txt";
  start({}, {"--mute", replay_}, {}, jumped);
  tap("End");
  EXPECT_EQ(verdictOf(jumped), "replay: all 1 expectations held\n");
  const Frame shown = settledPicture();
  ASSERT_EQ(shown.width, end.width);
  ASSERT_EQ(shown.height, end.height);
  int differ = 0;
  for (std::size_t i = 0; i < end.pixels.size(); ++i) differ += end.pixels[i] != shown.pixels[i];
  if (differ) {
    end.save(scratch() + "/../tilerush-watched-end.ppm");
    shown.save(scratch() + "/../tilerush-jumped-end.ppm");
  }
  EXPECT_EQ(differ, 0) << "pixels differ; pictures kept beside the scratch folder";
  closeWindow(0);
}

TEST_F(Theatre, ARaceFromTheCommandLineOrFromTheTimelineIsRecordedOnTheReplaysFirstSeed) {
  const std::string raced = scratch() + "/raced.tilerush";
  start({}, {"--mute", "--race", replay_, "--record", raced});
  keyDown("Right");
  pause(300);
  keyUp("Right");
  pause(300);
  closeWindow(0);
  std::string text = readFile(raced);
  EXPECT_NE(text.find("\nseed 1\nopen\n"), std::string::npos) << text;
  EXPECT_EQ(run({TILERUSH_SIM, raced}), 0) << text;

  // Watching, then "Play this game" at the timeline's right end: the window goes on
  // with a game of the player's own; the watched replay's lines are not in it.
  const std::string fromButton = scratch() + "/from-button.tilerush";
  start({}, {"--mute", replay_, "--record", fromButton});
  const Frame watching = grab();
  EXPECT_EQ(readFile(fromButton), "") << "nothing is recorded while watching";
  clickAt(watching.width - 50, watching.height - 15);
  for (int i = 0; i < 250 && readFile(fromButton).empty(); ++i) pause(20);
  EXPECT_EQ(grab().height, 489) << "the timeline has gone with the watching";
  keyDown("Left");
  pause(300);
  keyUp("Left");
  pause(300);
  closeWindow(0);
  text = readFile(fromButton);
  EXPECT_NE(text.find("\nseed 1\nopen\n"), std::string::npos) << text;
  EXPECT_EQ(text.find("key down 39"), std::string::npos) << "the watched replay's keys are not the player's";
  EXPECT_NE(text.find("key down 37"), std::string::npos) << text;
  EXPECT_EQ(run({TILERUSH_SIM, fromButton}), 0) << text;
}

}  // namespace
}  // namespace tilerush::e2e
