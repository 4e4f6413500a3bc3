// The board's table read by keyboard, mouse and screen reader alike; what its buttons
// ask goes to the board through BoardClient, or to whoever owns the game.
#include "app/board_dialog.h"

#include <QDateTime>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/kept_games_dialog.h"

namespace tilerush {
namespace {

QString boardText(const QString& board) {
  return board == QStringLiteral("all-time") ? QStringLiteral("the all-time board")
                                             : QStringLiteral("the board of ") + board.mid(4);
}

QString entryText(const QJsonObject& entry) {
  return QStringLiteral("%1's game of %2 points")
      .arg(entry.value(QStringLiteral("name")).toString())
      .arg(entry.value(QStringLiteral("score")).toInteger());
}

}  // namespace

BoardDialog::BoardDialog(BoardClient& client, PlayerSettings& settings, QWidget* parent)
    : QDialog(parent),
      client_(client),
      settings_(settings),
      today_(new QPushButton(QStringLiteral("&Today's challenge"), this)),
      allTime_(new QPushButton(QStringLiteral("&All time"), this)),
      table_(new QTableWidget(this)),
      place_(new QLabel(this)),
      name_(new QLineEdit(settings.boardName(), this)),
      status_(new QLabel(this)) {
  setWindowTitle(QStringLiteral("The board at %1").arg(client.origin().host()));
  for (QPushButton* tab : {today_, allTime_}) {
    tab->setCheckable(true);
    tab->setAutoExclusive(true);
    tab->setAutoDefault(false);
  }
  connect(today_, &QPushButton::clicked, this, [this] { showBoard(QStringLiteral("today")); });
  connect(allTime_, &QPushButton::clicked, this, [this] { showBoard(QStringLiteral("all-time")); });
  const QStringList columns{"Rank", "Name", "Score", "Level", "Game time", "Date"};
  table_->setColumnCount(static_cast<int>(columns.size()));
  table_->setHorizontalHeaderLabels(columns);
  table_->setAccessibleName(QStringLiteral("The board, best first"));
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  table_->horizontalHeader()->setStretchLastSection(true);
  table_->verticalHeader()->hide();
  table_->setMinimumWidth(560);
  name_->setMaxLength(24);
  name_->setAccessibleName(QStringLiteral("Your name on the board"));
  connect(name_, &QLineEdit::editingFinished, this, [this] {
    name_->setText(name_->text().trimmed());
    settings_.setBoardName(name_->text());
  });
  status_->setWordWrap(true);
  status_->setObjectName(QStringLiteral("status"));
  table_->setObjectName(QStringLiteral("board"));

  auto* box = new QDialogButtonBox(this);
  watch_ = box->addButton(QStringLiteral("&Watch"), QDialogButtonBox::ActionRole);
  race_ = box->addButton(QStringLiteral("&Race"), QDialogButtonBox::ActionRole);
  // Beside the name it is sent under, and only while a game is offered: the button box
  // would show it again whenever it lays its buttons out.
  sendOffered_ = new QPushButton(QStringLiteral("&Send"), this);
  sendOffered_->setAutoDefault(false);
  sendOffered_->hide();
  box->addButton(QDialogButtonBox::Close);
  connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(watch_, &QPushButton::clicked, this, [this] { fetchChosen(Then::Watch); });
  connect(race_, &QPushButton::clicked, this, [this] { fetchChosen(Then::Race); });
  connect(sendOffered_, &QPushButton::clicked, this, [this] { send(offered_); });
  connect(table_, &QTableWidget::cellDoubleClicked, watch_, &QPushButton::click);

  connect(&client_, &BoardClient::boardArrived, this, &BoardDialog::arrived);
  connect(&client_, &BoardClient::gameArrived, this, &BoardDialog::gameArrived);
  connect(&client_, &BoardClient::sent, this, &BoardDialog::sent);
  connect(&client_, &BoardClient::failed, this, &BoardDialog::tell);

  auto* tabs = new QHBoxLayout;
  tabs->addWidget(today_);
  tabs->addWidget(allTime_);
  tabs->addStretch();
  auto* naming = new QHBoxLayout;
  auto* label = new QLabel(QStringLiteral("Your &name on the board:"), this);
  label->setBuddy(name_);
  naming->addWidget(label);
  naming->addWidget(name_);
  naming->addWidget(sendOffered_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(tabs);
  layout->addWidget(table_);
  layout->addWidget(place_);
  layout->addLayout(naming);
  layout->addWidget(status_);
  layout->addWidget(box);
}

void BoardDialog::showBoard(const QString& which) {
  shown_ = which;
  today_->setChecked(which == QStringLiteral("today"));
  allTime_->setChecked(which == QStringLiteral("all-time"));
  client_.fetchBoard(which, name_->text().trimmed());
}

void BoardDialog::arrived(const QString& which, const QJsonObject& board) {
  if (which != shown_) return;
  entries_ = board.value(QStringLiteral("entries")).toArray();
  table_->setRowCount(static_cast<int>(entries_.size()));
  for (int row = 0; row < entries_.size(); ++row) {
    const QJsonObject e = entries_[row].toObject();
    const QStringList cells{QString::number(e.value(QStringLiteral("rank")).toInteger()),
                            e.value(QStringLiteral("name")).toString(),
                            QString::number(e.value(QStringLiteral("score")).toInteger()),
                            QString::number(e.value(QStringLiteral("level")).toInteger()),
                            minutesAndSeconds(e.value(QStringLiteral("time_ms")).toInteger()),
                            e.value(QStringLiteral("date")).toString().left(10)};
    for (int column = 0; column < cells.size(); ++column)
      table_->setItem(row, column, new QTableWidgetItem(cells[column]));
  }
  const QJsonObject own = board.value(QStringLiteral("player")).toObject();
  place_->setText(entries_.isEmpty() ? QStringLiteral("No game is on this board yet.")
                  : own.isEmpty()    ? QString()
                                     : QStringLiteral("Your place: %1, %2 points.")
                                        .arg(own.value(QStringLiteral("rank")).toInteger())
                                        .arg(own.value(QStringLiteral("score")).toInteger()));
}

void BoardDialog::fetchChosen(Then then) {
  const int row = table_->currentRow();
  if (row < 0 || row >= entries_.size()) return tell(QStringLiteral("Choose a game on the board first."));
  then_ = then;
  client_.fetchGame(entries_[row].toObject().value(QStringLiteral("id")).toInteger());
}

void BoardDialog::gameArrived(const std::string& replay, const QJsonObject& entry) {
  accept();
  if (then_ == Then::Race)
    Q_EMIT raceAsked(replay);
  else
    Q_EMIT watchAsked(replay, entryText(entry));
}

void BoardDialog::offer(const std::string& replay, int score) {
  offered_ = replay;
  sendOffered_->setText(QStringLiteral("&Send your %1 points").arg(score));
  sendOffered_->show();
}

void BoardDialog::send(const std::string& replay) {
  const QString name = name_->text().trimmed();
  if (name.isEmpty()) {
    open();
    name_->setFocus();
    return tell(QStringLiteral("Choose your name on the board first, then send the game."));
  }
  settings_.setBoardName(name);
  tell(QStringLiteral("Sending the game..."));
  client_.send(name, settings_.boardKey(), replay);
}

void BoardDialog::sent(const QJsonObject& answer) {
  offered_.clear();
  sendOffered_->hide();
  const QString board = answer.value(QStringLiteral("board")).toString();
  tell(QStringLiteral("Your game of %1 points is number %2 on %3.")
           .arg(answer.value(QStringLiteral("score")).toInteger())
           .arg(answer.value(QStringLiteral("rank")).toInteger())
           .arg(boardText(board)));
  const QString today = QStringLiteral("day/") + QDateTime::currentDateTimeUtc().date().toString(Qt::ISODate);
  showBoard(board == today ? QStringLiteral("today") : board);
}

void BoardDialog::tell(const QString& sentence) { status_->setText(sentence); }

}  // namespace tilerush
