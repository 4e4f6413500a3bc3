// Starts Tilerush in its window, or says in one line why no window can be opened.
#include <QApplication>
#include <QIcon>
#include <QString>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "app/game_sound.h"
#include "display/qt/qt_game.h"

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
  // Lets a desktop tie the window to its menu entry and icon once the game is installed.
  QApplication::setApplicationName(QStringLiteral("tilerush"));
  QApplication::setDesktopFileName(QStringLiteral("io.github.tilerush.Tilerush"));
  QtMessageHandler previous = qInstallMessageHandler(startupMessages);
  auto app = std::make_unique<QApplication>(argc, argv);
  qInstallMessageHandler(previous);
  return app;
}

}  // namespace

int main(int argc, char** argv) {
  auto app = openApplication(argc, argv);
  app->setWindowIcon(QIcon::fromTheme(QStringLiteral("io.github.tilerush.Tilerush")));
  tilerush::QtGame game;
  tilerush::GameSound sound(app->arguments().contains(QStringLiteral("--mute")));
  game.open();
  sound.attach(game);
  return app->exec();
}
