// The window's side of the board against the real tilerush-board on loopback: a game
// sent under the player's name is ranked with the score the core finds, the board
// shows it, and its stored replay comes back to watch and race; an address where no
// board answers is no board.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>
#include <QUrl>
#include <optional>
#include <sstream>

#include "app/board_client.h"
#include "app/board_dialog.h"
#include "app/player_settings.h"
#include "board/board_games.h"
#include "board/board_process.h"
#include "kept/kept_game.h"
#include "sim/replay.h"
#include "sim/runner.h"

namespace tilerush {
namespace {

using testing::BoardProcess;
using testing::TempFolder;

QPushButton* captioned(QWidget& dialog, const QString& caption) {
  for (auto* button : dialog.findChildren<QPushButton*>()) {
    if (button->text() == caption) return button;
  }
  return nullptr;
}

bool found(BoardClient& client) {
  QSignalSpy answered(&client, &BoardClient::found);
  client.ask();
  return answered.wait(15000) && answered.front().front().toBool();
}

TEST(BoardWindow, AGameSentIsRankedShownAndComesBackToWatchAndRace) {
  const TempFolder data;
  const BoardProcess server(data.path);
  BoardClient client(QUrl(QStringLiteral("http://127.0.0.1:%1/somewhere?else").arg(server.port())));
  ASSERT_TRUE(found(client));
  PlayerSettings settings;
  settings.setBoardName(QStringLiteral("Ada"));
  BoardDialog dialog(client, settings);
  auto* status = dialog.findChild<QLabel*>(QStringLiteral("status"));
  auto* table = dialog.findChild<QTableWidget*>(QStringLiteral("board"));

  const std::string replay = testing::autoplayedGame(7, 120'000);
  const std::int64_t score = kept::keptFromReplay(replay).value().score;
  ASSERT_GT(score, 0);
  dialog.offer(replay, static_cast<int>(score));
  QPushButton* send = captioned(dialog, QStringLiteral("&Send your %1 points").arg(score));
  ASSERT_TRUE(send);
  send->click();
  const QString ranked =
      QStringLiteral("Your game of %1 points is number 1 on the all-time board.").arg(score);
  ASSERT_TRUE(QTest::qWaitFor([&] { return status->text() == ranked; }, 15000))
      << status->text().toStdString();
  EXPECT_TRUE(send->isHidden()) << "a game sent is no longer offered";
  ASSERT_TRUE(QTest::qWaitFor([&] { return table->rowCount() == 1; }, 15000));
  EXPECT_EQ(table->item(0, 1)->text(), QStringLiteral("Ada"));
  EXPECT_EQ(table->item(0, 2)->text().toLongLong(), score);

  // The board's own replay of the game holds every expectation, watched or raced.
  table->selectRow(0);
  QSignalSpy watched(&dialog, &BoardDialog::watchAsked);
  QSignalSpy raced(&dialog, &BoardDialog::raceAsked);
  captioned(dialog, QStringLiteral("&Watch"))->click();
  ASSERT_TRUE(watched.wait(15000));
  EXPECT_EQ(watched.front().at(1).toString(), QStringLiteral("Ada's game of %1 points").arg(score));
  std::istringstream in(watched.front().front().value<std::string>());
  std::ostringstream out, err;
  EXPECT_EQ(sim::runScript(in, out, err), 0) << err.str();
  captioned(dialog, QStringLiteral("&Race"))->click();
  ASSERT_TRUE(raced.wait(15000));
  EXPECT_EQ(sim::firstSeed(raced.front().front().value<std::string>()), std::optional<std::uint64_t>(7));
}

TEST(BoardWindow, WhereNoBoardAnswersThereIsNone) {
  const TempFolder data;
  std::optional<BoardProcess> server(std::in_place, data.path);
  const int port = server->port();
  server.reset();
  BoardClient gone(QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(port)));
  EXPECT_FALSE(found(gone));
}

}  // namespace
}  // namespace tilerush
