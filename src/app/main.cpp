// Starts Tilerush in its window, recording or watching a replay if asked, or says in
// one line why it cannot.
#include <QAction>
#include <QApplication>
#include <QDateTime>
#include <QIcon>
#include <QString>
#include <QUrl>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <optional>
#include <string_view>

#include "app/board_client.h"
#include "app/board_dialog.h"
#include "app/command_line.h"
#include "app/game_sound.h"
#include "app/gamepads.h"
#include "app/kept_games_dialog.h"
#include "app/kept_store.h"
#include "app/player_settings.h"
#include "app/qt_game.h"
#include "app/quit_on_signal.h"
#include "app/record_file.h"
#include "app/replay_source.h"
#include "app/screen_mode.h"
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

// A replay from the kept games or the board, on the timeline as any replay.
void watch(tilerush::QtGame& game, std::unique_ptr<tilerush::Theatre>& theatre, const std::string& replay,
           const std::string& what) {
  tilerush::Result<tilerush::CheckedReplay> checked = tilerush::checkedScript(replay, what);
  if (!checked) {
    std::fprintf(stderr, "tilerush: %s\n", checked.error().c_str());
    return;
  }
  theatre.reset();
  theatre = std::make_unique<tilerush::Theatre>(game, std::move(checked).value(), std::cout);
}

// Every game the player plays is written to the data folder as it goes, and enters
// the list of the ten best if it ranks: at "Game Over", when a race or a challenge
// takes its place, or when the window closes with it.
void keepGames(tilerush::QtGame& game, tilerush::KeptStore& store) {
  store.load();
  QObject::connect(&game, &tilerush::QtGame::gameFinished, &game,
                   [&store](const tilerush::stage::FinishedGame& finished) {
                     store.keep(finished.replay, finished.over);
                   });
}

// Ctrl+K, or the window's context menu, opens the list; as a shortcut the key never
// reaches the game, and the dialog takes the keyboard, which pauses the game.
tilerush::KeptGamesDialog* offerList(tilerush::QtGame& game, tilerush::KeptStore& store,
                                     std::unique_ptr<tilerush::Theatre>& theatre) {
  QWidget& window = game.window();
  auto* dialog = new tilerush::KeptGamesDialog(&window);
  auto* action = new QAction(QStringLiteral("Your best games..."), &window);
  action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_K));
  action->setShortcutContext(Qt::WindowShortcut);
  window.addAction(action);
  window.setContextMenuPolicy(Qt::ActionsContextMenu);
  QObject::connect(action, &QAction::triggered, dialog, [dialog, &store] {
    // Read afresh: another window may have kept games since.
    store.load();
    dialog->showList(store.list());
    dialog->open();
  });
  QObject::connect(&game, &tilerush::QtGame::gameFinished, dialog, [dialog, &store] {
    if (dialog->isVisible()) dialog->showList(store.list());
  });
  QObject::connect(dialog, &tilerush::KeptGamesDialog::forgetAsked, dialog,
                   [dialog, &store](const std::string& id) {
                     store.forget(id);
                     dialog->showList(store.list());
                   });
  QObject::connect(dialog, &tilerush::KeptGamesDialog::raceAsked, dialog, [&game](const std::string& replay) {
    if (std::optional<std::uint64_t> seed = tilerush::sim::firstSeed(replay))
      game.race(*seed, tilerush::sim::firstLevels(replay));
  });
  QObject::connect(
      dialog, &tilerush::KeptGamesDialog::watchAsked, dialog,
      [&game, &theatre](const std::string& replay) { watch(game, theatre, replay, "the kept game"); });
  return dialog;
}

// The board the player named, once it answers as a board: Ctrl+B, or the context menu,
// shows it; a game ended at "Game Over" is offered to it, and any kept game can be sent.
void offerBoard(tilerush::QtGame& game, tilerush::PlayerSettings& settings, tilerush::KeptGamesDialog& kept,
                std::unique_ptr<tilerush::Theatre>& theatre) {
  if (settings.boardUrl().isEmpty()) return;
  QWidget& window = game.window();
  auto* client = new tilerush::BoardClient(QUrl(settings.boardUrl()), &window);
  QObject::connect(client, &tilerush::BoardClient::found, &window, [&, client](bool found) {
    if (!found) {
      std::fprintf(stderr, "tilerush: no board answers at %s; playing without one\n",
                   qPrintable(settings.boardUrl()));
      return;
    }
    auto* dialog = new tilerush::BoardDialog(*client, settings, &window);
    auto* action = new QAction(QStringLiteral("The board..."), &window);
    action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_B));
    action->setShortcutContext(Qt::WindowShortcut);
    window.addAction(action);
    QObject::connect(action, &QAction::triggered, dialog, [dialog] {
      dialog->showBoard(QStringLiteral("today"));
      dialog->open();
    });
    kept.allowSending();
    QObject::connect(&kept, &tilerush::KeptGamesDialog::sendAsked, dialog,
                     [dialog](const std::string& replay) { dialog->send(replay); });
    QObject::connect(&game, &tilerush::QtGame::gameFinished, dialog,
                     [dialog](const tilerush::stage::FinishedGame& finished) {
                       // The board ranks games on the game's own maps only.
                       if (!finished.over || tilerush::sim::firstLevels(finished.replay)) return;
                       if (auto made = tilerush::kept::keptFromReplay(finished.replay))
                         dialog->offer(finished.replay, static_cast<int>(made.value().score));
                     });
    QObject::connect(dialog, &tilerush::BoardDialog::raceAsked, dialog, [&game](const std::string& replay) {
      if (std::optional<std::uint64_t> seed = tilerush::sim::firstSeed(replay))
        game.race(*seed, tilerush::sim::firstLevels(replay));
    });
    QObject::connect(dialog, &tilerush::BoardDialog::watchAsked, dialog,
                     [&game, &theatre](const std::string& replay, const QString& title) {
                       watch(game, theatre, replay, title.toStdString());
                     });
  });
  client->ask();
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
  game.stage().hearGameLines([&store](std::string_view lines, bool fresh) { store.gameLines(lines, fresh); });
  keepGames(game, store);
  tilerush::PlayerSettings settings;
  tilerush::ScreenMode screen(game.window(), settings);
  tilerush::GameSound sound(settings, options.muted);
  sound.attach(game);
  // Given to the stage, which lets them reach the player's own game only.
  tilerush::Gamepads pads;
  game.usePads(pads);
  std::unique_ptr<tilerush::Theatre> theatre;
  tilerush::KeptGamesDialog* kept = offerList(game, store, theatre);
  if (options.board) settings.setBoardUrl(*options.board);
  offerBoard(game, settings, *kept, theatre);
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
  tilerush::quitOnSignals();
  return play(*app, options, std::move(record), std::move(replay), std::move(levels));
}
