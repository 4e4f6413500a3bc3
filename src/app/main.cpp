// Starts Tilerush in its window, recording or watching a replay if asked, or says in
// one line why it cannot.
#include <QApplication>
#include <QDateTime>
#include <QIcon>
#include <QString>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>

#include "app/command_line.h"
#include "app/game_sound.h"
#include "app/gamepads.h"
#include "app/player_settings.h"
#include "app/qt_game.h"
#include "app/quit_on_signal.h"
#include "app/record_file.h"
#include "app/replay_player.h"
#include "app/screen_mode.h"
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

int play(QApplication& app, const tilerush::Options& options, std::unique_ptr<tilerush::RecordFile> file) {
  tilerush::QtGame game(tilerush::sim::systemClockSeed);
  std::unique_ptr<tilerush::sim::Recorder> recorder;
  if (file) {
    const QString date = QDateTime::currentDateTimeUtc().toString(Qt::ISODate);
    recorder = std::make_unique<tilerush::sim::Recorder>(
        game.session(), [&file](std::string_view lines) { file->write(lines); }, tilerush::kVersion,
        date.toStdString());
    game.session().setInputLog(recorder.get());
  }
  tilerush::PlayerSettings settings;
  tilerush::ScreenMode screen(game.window(), settings);
  tilerush::GameSound sound(settings, options.muted);
  tilerush::Gamepads pads;
  game.usePads(pads);
  game.open();
  sound.attach(game);
  const int status = app.exec();
  if (recorder) {
    game.catchUp();
    recorder->finish();
  }
  return status;
}

int watch(QApplication& app, const std::string& path, bool muted) {
  tilerush::QtGame game(tilerush::sim::systemClockSeed);
  tilerush::PlayerSettings settings;
  tilerush::ScreenMode screen(game.window(), settings);
  tilerush::GameSound sound(settings, muted);
  sound.attach(game);
  tilerush::ReplayPlayer player(game, path, std::cout);
  player.start();
  const int status = app.exec();
  return status != 0 ? status : player.status();
}

}  // namespace

int main(int argc, char** argv) {
  QApplication::setApplicationName(QStringLiteral("tilerush"));
  QApplication::setApplicationVersion(QString::fromLatin1(tilerush::kVersion));
  const tilerush::Options options = tilerush::readCommandLine(argc, argv);
  // Checked before any window opens: a replay that cannot be played, or a record
  // file that cannot be written, is one line and status 2.
  if (options.replay) {
    if (std::string wrong = tilerush::ReplayPlayer::check(options.replay->toStdString()); !wrong.empty()) {
      refuse(wrong);
    }
  }
  std::unique_ptr<tilerush::RecordFile> record;
  if (options.recordTo) {
    record = std::make_unique<tilerush::RecordFile>(options.recordTo->toStdString());
    if (!record->isOpen()) refuse(record->error());
  }
  auto app = openApplication(argc, argv);
  tilerush::quitOnSignals();
  if (options.replay) return watch(*app, options.replay->toStdString(), options.muted);
  return play(*app, options, std::move(record));
}
