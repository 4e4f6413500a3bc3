// Starts Tilerush in its window, recording or watching a replay if asked, or says in
// one line why it cannot.
#include <QApplication>
#include <QDateTime>
#include <QIcon>
#include <QString>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <optional>
#include <string_view>

#include "app/after_first_frame.h"
#include "app/command_line.h"
#include "app/game_sound.h"
#include "app/gamepads.h"
#include "app/kept_store.h"
#include "app/player_lists.h"
#include "app/player_settings.h"
#include "app/qt_game.h"
#include "app/quit_on_signal.h"
#include "app/record_file.h"
#include "app/replay_source.h"
#include "app/screen_mode.h"
#include "app/start_trace.h"
#include "app/theatre.h"
#include "display/qt/vector_state.h"
#include "kept/kept_game.h"
#include "sim/replay.h"
#include "sim/runner.h"
#include "version.h"

namespace {

// What Qt last complained about while looking for a display.
QString& startupComplaint() {
  static QString complaint;
  return complaint;
}

// Qt gives up on a missing display with a fatal message and a core dump; a player
// who started the game from a text console deserves one plain line instead.
void startupMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type != QtFatalMsg) {
    if (startupComplaint().isEmpty()) startupComplaint() = message.section('\n', 0, 0).trimmed();
    return;
  }
  QString reason = startupComplaint().isEmpty() ? message.section('\n', 0, 0) : startupComplaint();
  std::fprintf(stderr, "tilerush: cannot open a window: %s\n", qPrintable(reason));
  std::fflush(stderr);
  std::_Exit(1);
}

std::unique_ptr<QApplication> openApplication(int& argc, char** argv) {
  QApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);
  // The window sends a few small areas to the X server 40 times a second. Through
  // shared memory, Qt would wait at nearly every frame for the server to finish with
  // the last one before painting over it: a round trip that woke two threads, a third
  // of what the paused window cost. Sent within the request, small areas cost less
  // and nothing waits. A player's own setting stands.
  if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) qputenv("QT_XCB_NO_MITSHM", "1");
  // The game plays sound only, never video; Qt's FFmpeg back end (Qt 6.8) would
  // otherwise probe the video decoders and encoders of the graphics card at start,
  // and a driver missing on this machine prints its complaint on our standard error.
  for (const char* name : {"QT_FFMPEG_DECODING_HW_DEVICE_TYPES", "QT_FFMPEG_ENCODING_HW_DEVICE_TYPES"}) {
    if (!qEnvironmentVariableIsSet(name)) qputenv(name, "");
  }
  // Lets a desktop tie the window to its menu entry and icon once the game is installed.
  QApplication::setDesktopFileName(QStringLiteral("io.github.tilerush.Tilerush"));
  QtMessageHandler previous = qInstallMessageHandler(startupMessages);
  auto app = std::make_unique<QApplication>(argc, argv);
  qInstallMessageHandler(previous);
  // Qt's start-up leaves the vector registers in a state that slows the game's own
  // arithmetic on this thread many times over.
  tilerush::clearUpperVectorHalves();
  return app;
}

[[noreturn]] void refuse(const std::string& what) {
  std::fprintf(stderr, "tilerush: %s\n", what.c_str());
  std::exit(2);
}

// A failed write is said once; the game plays on, and the program's status says it.
void keep(tilerush::RecordFile& file, std::string_view lines) {
  if (file.broken()) return;
  if (auto written = file.write(lines); !written) {
    std::fprintf(stderr, "tilerush: %s; the game plays on, no longer recorded\n", written.error().c_str());
  }
}

// The player's own game, from the start or on a replay's first draws (--race), or a
// day's challenge; or first the replay watched, from which "Play this game" races it
// in the same window, or "Back to my game" opens a game of the player's own.
int play(QApplication& app, const tilerush::Options& options, std::optional<tilerush::RecordFile> file,
         std::optional<tilerush::CheckedReplay> replay, std::optional<tilerush::levels::LevelChoice> levels) {
  tilerush::KeptStore store(tilerush::KeptStore::defaultFolder(), [](const std::string& line) {
    std::fprintf(stderr, "tilerush: %s\n", line.c_str());
  });
  tilerush::stage::Recording recording{
      tilerush::kVersion, [] { return QDateTime::currentDateTimeUtc().toString(Qt::ISODate).toStdString(); },
      nullptr};
  if (file) recording.lines = [&file](std::string_view lines) { keep(*file, lines); };
  tilerush::QtGame game(tilerush::sim::systemClockSeed, std::move(recording));
  tilerush::startMark("the game made");
  game.stage().hearGameLines([&store](std::string_view lines, bool fresh) { store.gameLines(lines, fresh); });
  tilerush::PlayerSettings settings;
  if (options.board) settings.setBoardUrl(*options.board);
  tilerush::ScreenMode screen(game.window(), settings);
  tilerush::GameSound sound(settings, options.muted);
  sound.attach(game);
  std::unique_ptr<tilerush::Theatre> theatre;
  auto* lists = new tilerush::PlayerLists(game, store, settings, theatre);
  tilerush::startMark("the kept games read");
  if (replay && !options.race) {
    theatre = std::make_unique<tilerush::Theatre>(game, std::move(*replay), std::cout);
  } else if (replay) {
    // A race opens straight on the replay's first draws: nothing of it is watched.
    game.race(*tilerush::sim::firstSeed(replay->script), tilerush::sim::firstLevels(replay->script));
  } else if (levels) {
    game.playLevels(std::move(*levels));
  } else if (options.challenge) {
    game.challenge(options.day.value_or(tilerush::kept::dayInUtc(std::chrono::system_clock::now())));
  } else {
    game.open();
  }
  tilerush::startMark("the window shown, the game opened");
  // What the first frame does not need starts once it is on screen, within the first
  // second: a key pressed at once still sounds, and a pad plugged in still steers.
  std::unique_ptr<tilerush::Gamepads> pads;
  tilerush::afterFirstFrame(game.window().canvas(), [&] {
    tilerush::startMark("the first frame on screen");
    app.setWindowIcon(QIcon::fromTheme(QStringLiteral("io.github.tilerush.Tilerush")));
    sound.start();
    // Given to the stage, which lets them reach the player's own game only.
    pads = std::make_unique<tilerush::Gamepads>();
    game.usePads(*pads);
    lists->findBoard();
    tilerush::startMark("sound, pads and board started");
  });
  const int status = app.exec();
  if (auto left = game.stage().gameInProgress(game.realNs())) store.keep(left->replay, left->over);
  game.stage().finishRecording(game.realNs());
  store.close();
  // A replay cut short by a failed write is not the recording that was asked for.
  if (status == 0 && file && file->broken()) return 1;
  // Watching to the last, the replay's verdict is the program's.
  return status != 0 || !theatre || !theatre->watching() ? status : theatre->status();
}

}  // namespace

int main(int argc, char** argv) {
  tilerush::startMark("libraries loaded, main reached");
  QApplication::setApplicationName(QStringLiteral("tilerush"));
  QApplication::setApplicationVersion(QString::fromLatin1(tilerush::kVersion));
  tilerush::Result<tilerush::Options> read = tilerush::readCommandLine(argc, argv);
  if (!read) refuse(read.error());
  const tilerush::Options options = std::move(read).value();
  if (options.answer) {
    std::fputs(qPrintable(*options.answer), stdout);
    return 0;
  }
  // Checked before any window opens: a replay that cannot be played, or a record
  // file that cannot be written, is one line and status 2.
  std::optional<tilerush::CheckedReplay> replay;
  if (options.replay) {
    tilerush::Result<tilerush::CheckedReplay> checked =
        tilerush::checkedReplay(options.replay->toStdString());
    if (!checked) refuse(checked.error());
    replay = std::move(checked).value();
    if (options.race && !tilerush::sim::firstSeed(replay->script))
      refuse(options.replay->toStdString() + ": the replay names no seed to race on");
  }
  std::optional<tilerush::levels::LevelChoice> levels;
  if (options.levels) {
    tilerush::Result<tilerush::levels::LevelChoice> chosen =
        tilerush::chosenLevels(options.levels->toStdString());
    if (!chosen) refuse(chosen.error());
    levels = std::move(chosen).value();
  }
  std::optional<tilerush::RecordFile> record;
  if (options.recordTo) {
    auto created = tilerush::RecordFile::create(options.recordTo->toStdString());
    if (!created) refuse(created.error());
    record.emplace(std::move(created).value());
  }
  auto app = openApplication(argc, argv);
  tilerush::startMark("Qt started, the display reached");
  tilerush::quitOnSignals();
  return play(*app, options, std::move(record), std::move(replay), std::move(levels));
}
