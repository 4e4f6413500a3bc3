#include "app/player_lists.h"

#include <QAction>
#include <QKeySequence>
#include <cstdio>
#include <iostream>
#include <optional>

#include "app/board_client.h"
#include "app/replay_source.h"
#include "kept/kept_game.h"
#include "sim/replay.h"

namespace tilerush {
namespace {

// A shortcut of the window, also in its context menu. As a shortcut the key never
// reaches the game; the dialog it opens takes the keyboard, which pauses the game.
QAction& addWindowAction(QWidget& window, const QString& text, const QKeySequence& keys) {
  auto* action = new QAction(text, &window);
  action->setShortcut(keys);
  action->setShortcutContext(Qt::WindowShortcut);
  window.addAction(action);
  window.setContextMenuPolicy(Qt::ActionsContextMenu);
  return *action;
}

}  // namespace

// Every game the player plays is written to the data folder as it goes, and enters
// the list of the ten best if it ranks: at "Game Over", when a race or a challenge
// takes its place, or when the window closes with it.
PlayerLists::PlayerLists(QtGame& game, KeptStore& store, PlayerSettings& settings,
                         std::unique_ptr<Theatre>& theatre)
    : QObject(&game), game_(game), store_(store), settings_(settings), theatre_(theatre) {
  store_.load();
  connect(&game_, &QtGame::gameFinished, this, [this](const stage::FinishedGame& finished) {
    store_.keep(finished.replay, finished.over);
    if (kept_ && kept_->isVisible()) kept_->showList(store_.list());
  });
  QAction& list = addWindowAction(game_.window(), QStringLiteral("Your best games..."), Qt::CTRL | Qt::Key_K);
  connect(&list, &QAction::triggered, this, [this] {
    KeptGamesDialog& dialog = keptDialog();
    // Read afresh: another window may have kept games since.
    store_.load();
    dialog.showList(store_.list());
    dialog.open();
  });
}

KeptGamesDialog& PlayerLists::keptDialog() {
  if (kept_) return *kept_;
  kept_ = new KeptGamesDialog(&game_.window());
  connect(kept_, &KeptGamesDialog::forgetAsked, this, [this](const std::string& id) {
    store_.forget(id);
    kept_->showList(store_.list());
  });
  connect(kept_, &KeptGamesDialog::raceAsked, this, &PlayerLists::race);
  connect(kept_, &KeptGamesDialog::watchAsked, this,
          [this](const std::string& replay) { watch(replay, "the kept game"); });
  if (board_) letKeptGamesBeSent();
  return *kept_;
}

void PlayerLists::findBoard() {
  if (settings_.boardUrl().isEmpty()) return;
  auto* client = new BoardClient(QUrl(settings_.boardUrl()), this);
  connect(client, &BoardClient::found, this, [this, client](bool found) {
    if (!found) {
      std::fprintf(stderr, "tilerush: no board answers at %s; playing without one\n",
                   qPrintable(settings_.boardUrl()));
      return;
    }
    board_ = new BoardDialog(*client, settings_, &game_.window());
    boardFound();
  });
  client->ask();
}

void PlayerLists::boardFound() {
  QAction& show = addWindowAction(game_.window(), QStringLiteral("The board..."), Qt::CTRL | Qt::Key_B);
  connect(&show, &QAction::triggered, board_, [this] {
    board_->showBoard(QStringLiteral("today"));
    board_->open();
  });
  connect(&game_, &QtGame::gameFinished, board_, [this](const stage::FinishedGame& f) { offerToBoard(f); });
  connect(board_, &BoardDialog::raceAsked, this, &PlayerLists::race);
  connect(board_, &BoardDialog::watchAsked, this,
          [this](const std::string& replay, const QString& title) { watch(replay, title.toStdString()); });
  if (kept_) letKeptGamesBeSent();
}

// The board ranks games ended at "Game Over" on the game's own maps only.
void PlayerLists::offerToBoard(const stage::FinishedGame& finished) {
  if (!finished.over || sim::firstLevels(finished.replay)) return;
  if (auto made = kept::keptFromReplay(finished.replay))
    board_->offer(finished.replay, static_cast<int>(made.value().score));
}

void PlayerLists::letKeptGamesBeSent() {
  kept_->allowSending();
  const auto send = [this](const std::string& replay) { board_->send(replay); };
  connect(kept_, &KeptGamesDialog::sendAsked, board_, send);
}

// A replay from the kept games or the board, on the timeline as any replay.
void PlayerLists::watch(const std::string& replay, const std::string& what) {
  Result<CheckedReplay> checked = checkedScript(replay, what);
  if (!checked) {
    std::fprintf(stderr, "tilerush: %s\n", checked.error().c_str());
    return;
  }
  theatre_.reset();
  theatre_ = std::make_unique<Theatre>(game_, std::move(checked).value(), std::cout);
}

void PlayerLists::race(const std::string& replay) {
  if (std::optional<std::uint64_t> seed = sim::firstSeed(replay)) game_.race(*seed, sim::firstLevels(replay));
}

}  // namespace tilerush
