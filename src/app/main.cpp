// Starts Tilerush in its window, recording or watching a replay if asked, or says in
// one line why it cannot.
#include <QApplication>
#include <QDateTime>
#include <QIcon>
#include <QString>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <optional>
#include <string_view>

#include "app/command_line.h"
#include "app/game_sound.h"
#include "app/gamepads.h"
#include "app/player_settings.h"
#include "app/qt_game.h"
#include "app/quit_on_signal.h"
#include "app/record_file.h"
#include "app/replay_source.h"
#include "app/screen_mode.h"
#include "app/theatre.h"
#include "display/qt/vector_state.h"
#include "sim/recorder.h"
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
  // Lets a desktop tie the window to its menu entry and icon once the game is installed.
  QApplication::setDesktopFileName(QStringLiteral("io.github.tilerush.Tilerush"));
  QtMessageHandler previous = qInstallMessageHandler(startupMessages);
  auto app = std::make_unique<QApplication>(argc, argv);
  qInstallMessageHandler(previous);
  // Qt's start-up leaves the vector registers in a state that slows the game's own
  // arithmetic on this thread many times over.
  tilerush::clearUpperVectorHalves();
  app->setWindowIcon(QIcon::fromTheme(QStringLiteral("io.github.tilerush.Tilerush")));
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

// The player's own game, from the start or on a replay's first draws (--race); or
// first the replay watched, from which "Play this game" races it in the same window.
int play(QApplication& app, const tilerush::Options& options, std::optional<tilerush::RecordFile> file,
         std::optional<tilerush::CheckedReplay> replay) {
  tilerush::QtGame game(tilerush::sim::systemClockSeed);
  std::unique_ptr<tilerush::sim::Recorder> recorder;
  tilerush::PlayerSettings settings;
  tilerush::ScreenMode screen(game.window(), settings);
  tilerush::GameSound sound(settings, options.muted);
  // Read only while the player's own game runs: a watched replay takes no input.
  tilerush::Gamepads pads;
  game.usePads(pads);
  auto startOwnGame = [&](std::optional<std::uint64_t> seed) {
    if (file) {
      const QString date = QDateTime::currentDateTimeUtc().toString(Qt::ISODate);
      recorder = std::make_unique<tilerush::sim::Recorder>(
          game.session(), [&file](std::string_view lines) { keep(*file, lines); }, tilerush::kVersion,
          date.toStdString());
      game.session().setInputLog(recorder.get());
    }
    if (seed) game.session().seedNextStartUp(*seed);
    game.open();
  };
  sound.attach(game);
  std::unique_ptr<tilerush::Theatre> theatre;
  const std::optional<std::uint64_t> raceSeed =
      replay ? tilerush::sim::firstSeed(replay->script) : std::nullopt;
  if (replay && !options.race) {
    theatre = std::make_unique<tilerush::Theatre>(game, std::move(*replay), &sound, std::cout);
    QObject::connect(theatre.get(), &tilerush::Theatre::raceAsked, &game, [&] {
      // Not from within the button's own click: the theatre and its bar go first.
      QTimer::singleShot(0, &game, [&] {
        if (!theatre) return;  // a second click before the first was acted on
        theatre.reset();
        game.session().restart();
        startOwnGame(raceSeed);
      });
    });
  } else {
    startOwnGame(raceSeed);
  }
  const int status = app.exec();
  if (recorder) {
    game.catchUp();
    recorder->finish();
  }
  // A replay cut short by a failed write is not the recording that was asked for.
  if (status == 0 && file && file->broken()) return 1;
  return status != 0 || !theatre ? status : theatre->status();
}

}  // namespace

int main(int argc, char** argv) {
  QApplication::setApplicationName(QStringLiteral("tilerush"));
  QApplication::setApplicationVersion(QString::fromLatin1(tilerush::kVersion));
  const tilerush::Options options = tilerush::readCommandLine(argc, argv);
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
  std::optional<tilerush::RecordFile> record;
  if (options.recordTo) {
    auto created = tilerush::RecordFile::create(options.recordTo->toStdString());
    if (!created) refuse(created.error());
    record.emplace(std::move(created).value());
  }
  auto app = openApplication(argc, argv);
  tilerush::quitOnSignals();
  return play(*app, options, std::move(record), std::move(replay));
}
