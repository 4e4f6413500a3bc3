// The bar under a watched replay: play and pause, the game time and the replay's
// length, a slider over the whole replay with its marks, the speed, and the buttons
// that go back to the player's own game or race the replay's. It only shows and asks;
// the stage decides.
#pragma once

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <vector>

#include "sim/replay.h"
#include "stage/view.h"

namespace tilerush {

// Game milliseconds as m:ss.t, tenths cut rather than rounded, as a clock shows them.
QString gameTimeText(std::int64_t ms);

// A slider over game time that goes where it is clicked (not a page at a time) and
// shows the replay's marks in their colours (stage::markLook), as the page does.
class TimelineSlider : public QSlider {
  Q_OBJECT

 public:
  explicit TimelineSlider(QWidget* parent);
  void setMarks(std::vector<sim::Mark> marks);
  // The column at which a mark at `ms` is painted.
  int columnOf(std::int64_t ms) const;
  static QColor colourOf(sim::Mark::Kind kind);

 Q_SIGNALS:
  void picked(int ms);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  std::vector<sim::Mark> marks_;
};

class ReplayTimeline : public QWidget {
  Q_OBJECT

 public:
  explicit ReplayTimeline(QWidget* parent = nullptr);

  void showTimeline(const stage::Timeline& timeline);
  void showButtons(const stage::Buttons& buttons);
  void showVerdict(const QString& verdict);

  TimelineSlider& slider() { return *slider_; }
  QPushButton& playButton() { return *play_; }
  QPushButton& backButton() { return *back_; }
  QPushButton& raceButton() { return *race_; }
  QComboBox& speedBox() { return *speed_; }
  QString timeText() const { return time_->text(); }
  QString verdictText() const { return verdict_->text(); }

 Q_SIGNALS:
  void seekAsked(std::int64_t ms);
  void playOrPauseAsked();
  void speedAsked(int index);
  void backAsked();
  void raceAsked();

 private:
  void showTime(std::int64_t ms);
  void showPlaying(bool playing);
  void showSpeed(int index);

  std::int64_t length_ = 0;
  std::vector<sim::Mark> marks_;
  QPushButton* play_;
  QLabel* time_;
  TimelineSlider* slider_;
  QComboBox* speed_;
  QPushButton* back_;
  QPushButton* race_;
  QLabel* verdict_;
};

}  // namespace tilerush
