// The list as a table read by keyboard, mouse and screen reader alike, and its
// buttons; what they ask is done by whoever owns the game and the kept games.
#include "app/kept_games_dialog.h"

#include <QClipboard>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "links/replay_link.h"

namespace tilerush {
namespace {

QString kindText(const kept::KeptGame& game) {
  switch (game.kind) {
    case kept::GameKind::Challenge:
      return QStringLiteral("Challenge of ") +
             QString::fromStdString(game.day ? kept::dayText(*game.day) : "");
    case kept::GameKind::Race:
      return QStringLiteral("Race");
    case kept::GameKind::Plain:
      break;
  }
  return QStringLiteral("Game");
}

QPushButton* addButton(QDialogButtonBox* box, const QString& text, const QString& accessible) {
  QPushButton* button = box->addButton(text, QDialogButtonBox::ActionRole);
  button->setAccessibleName(accessible);
  button->setAutoDefault(false);
  return button;
}

}  // namespace

QString minutesAndSeconds(std::int64_t ms) {
  const std::int64_t seconds = ms / 1000;
  return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

KeptGamesDialog::KeptGamesDialog(QWidget* parent) : QDialog(parent), table_(new QTableWidget(this)) {
  setWindowTitle(QStringLiteral("Your best games"));
  setAccessibleName(QStringLiteral("Your best games"));
  const QStringList columns{"Score", "Level", "Bricks left", "Game time", "Date", "Kind"};
  table_->setColumnCount(static_cast<int>(columns.size()));
  table_->setHorizontalHeaderLabels(columns);
  table_->setAccessibleName(QStringLiteral("Your ten best games, best first"));
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  table_->horizontalHeader()->setStretchLastSection(true);
  table_->setMinimumWidth(560);

  auto* box = new QDialogButtonBox(this);
  watch_ = addButton(box, QStringLiteral("&Watch"), QStringLiteral("Watch the chosen game"));
  race_ = addButton(box, QStringLiteral("&Race"), QStringLiteral("Race the chosen game"));
  link_ = addButton(box, QStringLiteral("Copy &link"), QStringLiteral("Copy a link to the chosen game"));
  save_ = addButton(box, QStringLiteral("&Save..."), QStringLiteral("Save the chosen game as a replay file"));
  forget_ = addButton(box, QStringLiteral("&Forget"), QStringLiteral("Forget the chosen game"));
  box->addButton(QDialogButtonBox::Close);
  connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(watch_, &QPushButton::clicked, this, [this] {
    if (const kept::KeptGame* game = chosen()) {
      accept();
      Q_EMIT watchAsked(game->replay);
    }
  });
  connect(race_, &QPushButton::clicked, this, [this] {
    if (const kept::KeptGame* game = chosen()) {
      accept();
      Q_EMIT raceAsked(game->replay);
    }
  });
  connect(link_, &QPushButton::clicked, this, &KeptGamesDialog::copyLink);
  connect(save_, &QPushButton::clicked, this, &KeptGamesDialog::saveFile);
  connect(forget_, &QPushButton::clicked, this, [this] {
    if (const kept::KeptGame* game = chosen()) Q_EMIT forgetAsked(game->id());
  });
  connect(table_, &QTableWidget::itemSelectionChanged, this, &KeptGamesDialog::choiceChanged);
  connect(table_, &QTableWidget::cellDoubleClicked, watch_, &QPushButton::click);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(table_);
  layout->addWidget(box);
  choiceChanged();
}

void KeptGamesDialog::allowSending() {
  if (send_) return;
  auto* box = findChild<QDialogButtonBox*>();
  send_ =
      addButton(box, QStringLiteral("Se&nd to board"), QStringLiteral("Send the chosen game to the board"));
  connect(send_, &QPushButton::clicked, this, [this] {
    if (const kept::KeptGame* game = chosen()) Q_EMIT sendAsked(game->replay);
  });
  choiceChanged();
}

void KeptGamesDialog::showList(const kept::BestGames& list) {
  const kept::KeptGame* before = chosen();
  const std::string chosenId = before ? before->id() : std::string();
  list_ = list;
  const std::vector<kept::KeptGame>& games = list_.games();
  table_->setRowCount(static_cast<int>(games.size()));
  int row = 0;
  for (const kept::KeptGame& game : games) {
    const QStringList cells{QString::number(game.score),       QString::number(game.level),
                            QString::number(game.bricksLeft),  minutesAndSeconds(game.timeMs),
                            QString::fromStdString(game.date), kindText(game)};
    for (int column = 0; column < cells.size(); ++column)
      table_->setItem(row, column, new QTableWidgetItem(cells[column]));
    if (game.id() == chosenId || (chosenId.empty() && row == 0)) table_->selectRow(row);
    ++row;
  }
  if (games.empty()) table_->clearSelection();
  choiceChanged();
}

const kept::KeptGame* KeptGamesDialog::chosen() const {
  const int row = table_->currentRow();
  const QList<QTableWidgetItem*> selected = table_->selectedItems();
  if (selected.isEmpty() || row < 0 || row >= static_cast<int>(list_.games().size())) return nullptr;
  return &list_.games()[static_cast<std::size_t>(row)];
}

void KeptGamesDialog::choiceChanged() {
  const bool any = chosen() != nullptr;
  for (QPushButton* button : {watch_, race_, link_, save_, forget_, send_}) {
    if (button) button->setEnabled(any);
  }
}

void KeptGamesDialog::copyLink() {
  if (const kept::KeptGame* game = chosen())
    QGuiApplication::clipboard()->setText(QString::fromStdString(replayLink(game->replay)));
}

void KeptGamesDialog::saveFile() {
  const kept::KeptGame* game = chosen();
  if (!game) return;
  const QString name = QFileDialog::getSaveFileName(
      this, QStringLiteral("Save the game as a replay"),
      QStringLiteral("tilerush-%1-%2.tilerush").arg(game->score).arg(QString::fromStdString(game->id())));
  if (name.isEmpty()) return;
  QFile file(name);
  if (!file.open(QIODevice::WriteOnly) ||
      file.write(game->replay.data(), static_cast<qint64>(game->replay.size())) !=
          static_cast<qint64>(game->replay.size()) ||
      !file.flush())
    QMessageBox::warning(this, QStringLiteral("Not saved"),
                         QStringLiteral("Cannot write %1: %2").arg(name, file.errorString()));
}

}  // namespace tilerush
