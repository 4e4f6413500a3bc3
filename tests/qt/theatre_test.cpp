// A replay watched in the window, in-process on the offscreen platform: whatever
// instant the viewer takes it to, by the slider or the keys, forward or back, the
// window shows the game that running the replay's lines to that instant reaches, its
// readouts included; the viewer's keys, clicks and pointer never reach that game.
#include <gtest/gtest.h>

#include <unistd.h>
#include <QAccessible>
#include <QSignalSpy>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/qt_game.h"
#include "app/replay_source.h"
#include "app/theatre.h"
#include "levels/level_set.h"
#include "qt_game_fixture.h"
#include "sim/autoplay.h"
#include "sim/dump.h"
#include "sim/recorder.h"
#include "sim/runner.h"
#include "support/recorded_replay.h"

namespace tilerush::testing {
namespace {

// The replay cut at game time `t` carried out on a session of its own: the truth
// about the replay at `t`, as tilerush-sim reaches it.
void runCutTo(Session& session, const std::string& script, std::int64_t t) {
  const std::string cut = tilerush::testing::replayCutAt(script, t);
  std::istringstream lines(cut);
  std::ostream none(nullptr);
  sim::ScriptRunner runner(session, lines, none);
  while (std::optional<std::int64_t> until = runner.step()) session.advanceTo(*until);
}

class TheatreTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    const std::string path = std::filesystem::temp_directory_path() / ("theatre-" + std::to_string(getpid()));
    std::ofstream(path, std::ios::binary) << tilerush::testing::recordedGame();
    Result<CheckedReplay> checked = checkedReplay(path);
    std::filesystem::remove(path);
    ASSERT_TRUE(checked) << checked.error();
    replay_ = new CheckedReplay(std::move(checked).value());
  }
  static void TearDownTestSuite() { delete replay_; }

  void SetUp() override {
    QObject::connect(&game, &QtGame::heard, [this] { ++heard; });
    theatre = std::make_unique<Theatre>(game, *replay_, said);
    Q_EMIT theatre->timeline().playOrPauseAsked();
    ASSERT_FALSE(theatre->show().playing());
  }

  std::int64_t markOf(sim::Mark::Kind kind) const {
    for (const sim::Mark& mark : replay_->facts.marks) {
      if (mark.kind == kind) return mark.at;
    }
    ADD_FAILURE() << "no such mark";
    return 0;
  }
  QString readout(int index) {
    QAccessibleInterface* canvas = QAccessible::queryAccessibleInterface(&game.window().canvas());
    return canvas->child(index)->text(QAccessible::Value);
  }
  // The window's game, its readouts and its picture are the truth's at `t`.
  void expectShowsTruthAt(std::int64_t t, bool pixels = false) {
    ASSERT_EQ(theatre->show().now(), t);
    QtGame truth([] { return std::uint64_t{5}; });
    runCutTo(truth.session(), replay_->script, t);
    EXPECT_EQ(sim::dumpJson(theatre->watchedGame(), {}), sim::dumpJson(truth.session(), {})) << "at " << t;
    const auto& readouts = game.window().canvas().readouts();
    for (std::size_t i = 0; i < readouts.size(); ++i) {
      EXPECT_EQ(readout(static_cast<int>(i)), readoutText(truth.display(), readouts[i])) << "at " << t;
    }
    if (!pixels) return;
    truth.show();
    const QImage shown = game.window().canvas().grab().toImage();
    const QImage truthShown = truth.window().canvas().grab().toImage();
    EXPECT_TRUE(shown == truthShown) << "the picture at " << t << " is not the truth's";
  }
  // A key tapped, its release awaited: the window holds a release back a moment.
  void press(Qt::Key key) {
    QSignalSpy released(&game.window(), &GameWindow::keyUp);
    QTest::keyClick(&game.window(), key);
    if (released.isEmpty()) {
      ASSERT_TRUE(released.wait(2000));
    }
  }

  static CheckedReplay* replay_;
  QtGame game{[] { return std::uint64_t{99}; }};
  int heard = 0;
  std::ostringstream said;
  std::unique_ptr<Theatre> theatre;
};
CheckedReplay* TheatreTest::replay_ = nullptr;

TEST_F(TheatreTest, SeeksByTheSliderForwardAndBackShowTheReplaysGameAtThatInstant) {
  QAccessible::setActive(true);
  const std::int64_t lost = markOf(sim::Mark::Kind::LostBall);
  const std::int64_t cleared = markOf(sim::Mark::Kind::LevelCleared);
  const std::int64_t over = markOf(sim::Mark::Kind::GameOver);
  ReplayTimeline& timeline = theatre->timeline();
  for (std::int64_t t : {lost + 1000, lost - 1, lost, cleared + 3000, cleared - 1, over + 10, over - 1000,
                         std::int64_t{0}, theatre->show().length() - 1}) {
    Q_EMIT timeline.seekAsked(t);
    expectShowsTruthAt(t, t == cleared + 3000 || t == lost - 1 || t == over + 10);
    EXPECT_EQ(timeline.slider().value(), t);
  }
  EXPECT_EQ(heard, 0) << "nothing is heard while seeking";
  EXPECT_EQ(said.str(), "") << "the verdict waits for the end";

  // A click on the slider goes where it is clicked.
  TimelineSlider& slider = timeline.slider();
  QTest::mouseClick(&slider, Qt::LeftButton, {}, QPoint(slider.columnOf(cleared), slider.height() / 2));
  EXPECT_NEAR(double(theatre->show().now()), double(cleared),
              double(theatre->show().length()) / slider.width() * 2);
  expectShowsTruthAt(theatre->show().now());

  QAccessibleInterface* access = QAccessible::queryAccessibleInterface(&slider);
  EXPECT_EQ(access->text(QAccessible::Name), "Replay time");
  EXPECT_EQ(access->valueInterface()->currentValue().toLongLong(), theatre->show().now());
  EXPECT_EQ(access->valueInterface()->maximumValue().toLongLong(), theatre->show().length());
}

TEST_F(TheatreTest, TheViewersKeysStepJumpAndChangeSpeedAndNothingOfThemReachesTheGame) {
  ReplayTimeline& timeline = theatre->timeline();
  Q_EMIT timeline.seekAsked(10'000);
  press(Qt::Key_Period);
  press(Qt::Key_Period);
  EXPECT_EQ(theatre->show().now(), 10'050);
  press(Qt::Key_Comma);
  EXPECT_EQ(theatre->show().now(), 10'025);
  press(Qt::Key_Right);
  EXPECT_EQ(theatre->show().now(), 15'025);
  press(Qt::Key_Left);
  press(Qt::Key_Left);
  EXPECT_EQ(theatre->show().now(), 5'025);
  EXPECT_EQ(timeline.timeText(), "0:05.0 / " + gameTimeText(theatre->show().length()));
  press(Qt::Key_PageDown);
  EXPECT_EQ(theatre->show().now(), replay_->facts.marks.front().at);
  press(Qt::Key_End);
  EXPECT_TRUE(theatre->show().over());
  press(Qt::Key_PageUp);
  EXPECT_EQ(theatre->show().now(), replay_->facts.marks.back().at);
  press(Qt::Key_Home);
  EXPECT_EQ(theatre->show().now(), 0);

  // P, the pointer and clicks on the board are the viewer's, not the game's.
  Q_EMIT timeline.seekAsked(20'000);
  press(Qt::Key_P);
  QTest::mouseMove(&game.window().canvas(), QPoint(30, 400));
  QTest::mouseClick(&game.window().canvas(), Qt::LeftButton, {}, QPoint(30, 400));
  game.window().clearFocus();
  game.window().setFocus();
  expectShowsTruthAt(20'000);

  // Speeds: the keys and the control agree, and only the normal speed is heard.
  press(Qt::Key_Plus);
  press(Qt::Key_Plus);
  EXPECT_EQ(theatre->show().speed(), sim::kNormalSpeed + 2);
  EXPECT_EQ(timeline.speedBox().currentText(), QStringLiteral("4×"));
  press(Qt::Key_Minus);
  EXPECT_EQ(timeline.speedBox().currentIndex(), sim::kNormalSpeed + 1);
  const std::int64_t lost = markOf(sim::Mark::Kind::LostBall);
  Q_EMIT timeline.seekAsked(lost - 30);
  press(Qt::Key_Space);
  ASSERT_TRUE(eventually([&] { return theatre->show().now() > lost + 10; }));
  EXPECT_EQ(heard, 0) << "twice as fast is not heard";
  Q_EMIT timeline.speedAsked(sim::kNormalSpeed);
  Q_EMIT timeline.seekAsked(lost - 30);
  ASSERT_TRUE(eventually([&] { return theatre->show().now() > lost + 10; }));
  EXPECT_GT(heard, 0) << "the lost ball is heard at the normal speed";
  press(Qt::Key_Space);
  EXPECT_FALSE(theatre->show().playing());
  EXPECT_EQ(timeline.playButton().text(), "Play");
}

TEST_F(TheatreTest, TheMarksArePaintedWhereTheyFallAndTheEndIsSaidOnce) {
  TimelineSlider& slider = theatre->timeline().slider();
  game.window().show();
  const QImage picture = slider.grab().toImage();
  for (const sim::Mark& mark : replay_->facts.marks) {
    EXPECT_EQ(QColor(picture.pixel(slider.columnOf(mark.at), 0)), TimelineSlider::colourOf(mark.kind))
        << "mark at " << mark.at;
  }
  Q_EMIT theatre->timeline().seekAsked(theatre->show().length());
  Q_EMIT theatre->timeline().seekAsked(0);
  Q_EMIT theatre->timeline().seekAsked(theatre->show().length());
  EXPECT_EQ(said.str(), theatre->show().verdict() + "\n");
  EXPECT_EQ(said.str().rfind("replay: all ", 0), 0u) << said.str();
  EXPECT_EQ(theatre->timeline().verdictText().toStdString(), theatre->show().verdict());
  EXPECT_EQ(theatre->status(), 0);
}

TEST_F(TheatreTest, TheWindowGrowsByTheTimelineAndGivesItBackWithTheGameAreaAtScaleOne) {
  GameWindow& window = game.window();
  EXPECT_EQ(window.size(), window.area().naturalSize() + QSize(0, window.barHeight()));
  EXPECT_EQ(window.area().scale(), 1);
  EXPECT_EQ(window.area().rect().topLeft(), QPoint(0, 0));
  theatre.reset();
  EXPECT_EQ(window.size(), window.area().naturalSize());
  EXPECT_EQ(window.findChild<ReplayTimeline*>(), nullptr);
  // The game the window goes on with takes the player's keys, at the normal pace.
  game.session().restart();
  game.session().seedNextStartUp(*sim::firstSeed(replay_->script));
  game.open();
  EXPECT_EQ(game.paced().rate().game, game.paced().rate().real);
  QTest::keyPress(&window, Qt::Key_Right);
  EXPECT_EQ(game.form().state().paddledir, 1);
  QtGame truth([] { return std::uint64_t{5}; });
  runCutTo(truth.session(), replay_->script, 0);
  // The draws alone: the game's clock may have run on a few milliseconds meanwhile.
  const auto drawsOf = [](Session& session) {
    const std::string dump = sim::dumpJson(session, {"xfactor", "yfactor", "logoxspeed", "logoyspeed"});
    return dump.substr(dump.find("\"fields\""));
  };
  EXPECT_EQ(drawsOf(game.session()), drawsOf(truth.session()));
}

// "Back to my game": the window started on a replay opens a game of the player's own;
// watched again, that game is left (the held arrow let go, play paused) and stands
// still, and back in it the window shows it as it stood, its push buttons included.
TEST_F(TheatreTest, BackToMyGameOpensAGameTheFirstTimeAndFindsItWhereItStoodAfterThat) {
  GameWindow& window = game.window();
  EXPECT_TRUE(theatre->timeline().backButton().isVisibleTo(&window));
  QTest::mouseClick(&theatre->timeline().backButton(), Qt::LeftButton);
  ASSERT_TRUE(eventually([&] { return !theatre->watching(); }));
  EXPECT_TRUE(game.session().isOpen());
  EXPECT_EQ(&window.display(), &game.display());
  EXPECT_EQ(window.size(), window.area().naturalSize());
  Element& paddle = *game.display().find("paddle");
  const float served = paddle.left();
  QTest::keyPress(&window, Qt::Key_Right);
  ASSERT_TRUE(eventually([&] { return paddle.left() > served + 500; }));

  theatre.reset();
  theatre = std::make_unique<Theatre>(game, *replay_, said);
  EXPECT_EQ(&window.display(), &theatre->watchedGame().display());
  EXPECT_EQ(game.form().state().paddledir, 0) << "the held arrow was let go";
  const Rect stood = paddle.bounds();
  const Rect ball = game.display().find("ball")->bounds();
  ASSERT_TRUE(game.form().element(ButtonId::Pause).visible());
  EXPECT_FALSE(window.button("pause")->isVisible()) << "the window shows the replay's buttons";
  QTest::keyClick(&window, Qt::Key_Left);
  QTest::qWait(300);

  QTest::mouseClick(&theatre->timeline().backButton(), Qt::LeftButton);
  ASSERT_TRUE(eventually([&] { return !theatre->watching(); }));
  EXPECT_EQ(&window.display(), &game.display());
  EXPECT_EQ(paddle.left(), stood.left);
  EXPECT_EQ(game.display().find("ball")->left(), ball.left);
  EXPECT_EQ(game.display().find("ball")->top(), ball.top);
  EXPECT_TRUE(window.button("pause")->isVisible());
  EXPECT_EQ(readout(2), readoutText(game.display(), window.canvas().readouts()[2]));
}

// A game on a level set of one's own, watched in the window: laid out from the set it
// carries, from the map it started on, and every expectation holds at its end, as in
// tilerush-sim. The player's own game keeps the game's maps.
TEST(TheatreOnASet, AReplayCarryingASetPlaysOnItsMapsToTheEnd) {
  levels::LevelSet set{"Two", {levels::builtInSet().maps[0], {}}};
  set.maps[1].fill("00000000000000000000");
  set.maps[1][4] = "00000000011000000000";
  Session played([] { return std::uint64_t{41}; });
  std::string script;
  const auto collect = [&](std::string_view lines) { script += lines; };
  sim::Recorder recorder(played, collect, "test", "today");
  played.setInputLog(&recorder);
  played.form().chooseLevels(set, 2);
  played.open();
  sim::Autoplayer(played).play(20'000);
  recorder.finish();

  QtGame game([] { return std::uint64_t{99}; });
  game.open();
  Result<CheckedReplay> checked = checkedScript(script, "the set's game");
  ASSERT_TRUE(checked) << checked.error();
  std::ostringstream said;
  Theatre theatre(game, std::move(checked).value(), said);
  EXPECT_EQ(theatre.watchedGame().state().nummaps, 2);
  EXPECT_EQ(theatre.watchedGame().state().bricksleft, 2) << "laid out from the set's second map";
  EXPECT_EQ(game.form().state().nummaps, 5);
  Q_EMIT theatre.timeline().seekAsked(theatre.show().length());
  EXPECT_EQ(said.str().rfind("replay: all ", 0), 0u) << said.str() << script;
  EXPECT_EQ(theatre.status(), 0);
}

}  // namespace
}  // namespace tilerush::testing
