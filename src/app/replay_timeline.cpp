// The timeline's widgets. None of them takes the keyboard: the viewer's keys go to
// the window, whatever was clicked last, as the game's own push buttons leave them.
#include "app/replay_timeline.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionSlider>

#include "sim/replay_show.h"
#include "stage/facts.h"

namespace tilerush {
namespace {

constexpr int kMarkWidth = 3;

}  // namespace

QString gameTimeText(std::int64_t ms) { return QString::fromStdString(stage::clockText(ms)); }

TimelineSlider::TimelineSlider(QWidget* parent) : QSlider(Qt::Horizontal, parent) {
  setFocusPolicy(Qt::NoFocus);
  setAccessibleName(QStringLiteral("Replay time"));
}

void TimelineSlider::setMarks(std::vector<sim::Mark> marks) {
  marks_ = std::move(marks);
  update();
}

QColor TimelineSlider::colourOf(sim::Mark::Kind kind) {
  return QColor::fromRgb(stage::markLook(kind).colour);
}

// Where the handle's middle stands at `ms`: the groove less half a handle at each end.
int TimelineSlider::columnOf(std::int64_t ms) const {
  QStyleOptionSlider option;
  initStyleOption(&option);
  const QRect groove = style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, this);
  const QRect handle = style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
  const int span = groove.width() - handle.width();
  return groove.left() + handle.width() / 2 +
         QStyle::sliderPositionFromValue(minimum(), maximum(), static_cast<int>(ms), span);
}

void TimelineSlider::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && maximum() > minimum()) {
    QStyleOptionSlider option;
    initStyleOption(&option);
    const QRect groove = style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, this);
    const QRect handle = style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
    const int x = qRound(event->position().x()) - groove.left() - handle.width() / 2;
    const int ms = QStyle::sliderValueFromPosition(minimum(), maximum(), x, groove.width() - handle.width());
    setValue(ms);
    Q_EMIT picked(ms);
  }
  // The handle is now under the pointer, so the press goes on as a drag of it.
  QSlider::mousePressEvent(event);
}

void TimelineSlider::paintEvent(QPaintEvent* event) {
  QSlider::paintEvent(event);
  QPainter painter(this);
  for (const sim::Mark& mark : marks_) {
    painter.fillRect(columnOf(mark.at) - kMarkWidth / 2, 0, kMarkWidth, height() / 4 + 1,
                     colourOf(mark.kind));
  }
}

ReplayTimeline::ReplayTimeline(QWidget* parent)
    : QWidget(parent),
      play_(new QPushButton(this)),
      time_(new QLabel(this)),
      slider_(new TimelineSlider(this)),
      speed_(new QComboBox(this)),
      back_(new QPushButton(QStringLiteral("Back to my game"), this)),
      race_(new QPushButton(QStringLiteral("Play this game"), this)),
      verdict_(new QLabel(this)) {
  setObjectName(QStringLiteral("timeline"));
  setAutoFillBackground(true);
  slider_->setRange(0, 0);
  for (std::string_view name : stage::kSpeedNames)
    speed_->addItem(QString::fromUtf8(name.data(), name.size()));
  speed_->setAccessibleName(QStringLiteral("Speed"));
  back_->setAccessibleDescription(QStringLiteral("Leaves the replay for your own game, where it stood"));
  race_->setAccessibleDescription(QStringLiteral("Starts a game of your own on this replay's first draws"));
  verdict_->setTextInteractionFlags(Qt::NoTextInteraction);
  for (QWidget* control : {static_cast<QWidget*>(play_), static_cast<QWidget*>(speed_),
                           static_cast<QWidget*>(back_), static_cast<QWidget*>(race_)}) {
    control->setFocusPolicy(Qt::NoFocus);
  }
  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(6, 4, 6, 4);
  grid->addWidget(play_, 0, 0);
  grid->addWidget(time_, 0, 1);
  grid->addWidget(slider_, 0, 2, 1, 2);
  grid->addWidget(speed_, 1, 0);
  grid->addWidget(verdict_, 1, 1, 1, 2);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(back_);
  buttons->addWidget(race_);
  grid->addLayout(buttons, 1, 3);
  grid->setColumnStretch(2, 1);

  connect(play_, &QPushButton::clicked, this, &ReplayTimeline::playOrPauseAsked);
  connect(back_, &QPushButton::clicked, this, &ReplayTimeline::backAsked);
  connect(race_, &QPushButton::clicked, this, &ReplayTimeline::raceAsked);
  connect(speed_, &QComboBox::activated, this, &ReplayTimeline::speedAsked);
  connect(slider_, &TimelineSlider::picked, this, [this](int ms) { Q_EMIT seekAsked(ms); });
  connect(slider_, &QSlider::sliderMoved, this, [this](int ms) { Q_EMIT seekAsked(ms); });
  showTime(0);
  showPlaying(false);
  showSpeed(sim::kNormalSpeed);
}

void ReplayTimeline::showTimeline(const stage::Timeline& timeline) {
  if (timeline.length != length_) {
    length_ = timeline.length;
    slider_->setRange(0, static_cast<int>(length_));
  }
  if (timeline.marks != marks_) {
    marks_ = timeline.marks;
    slider_->setMarks(marks_);
  }
  showTime(timeline.now);
  showPlaying(timeline.playing);
  showSpeed(timeline.speed);
}

void ReplayTimeline::showButtons(const stage::Buttons& buttons) {
  back_->setVisible(buttons.backToMyGame);
  race_->setVisible(buttons.playThisGame);
}

void ReplayTimeline::showTime(std::int64_t ms) {
  time_->setText(gameTimeText(ms) + QStringLiteral(" / ") + gameTimeText(length_));
  // A handle being dragged stays under the pointer.
  if (!slider_->isSliderDown()) {
    const QSignalBlocker quiet(slider_);
    slider_->setValue(static_cast<int>(ms));
  }
}

void ReplayTimeline::showPlaying(bool playing) {
  play_->setText(playing ? QStringLiteral("Pause") : QStringLiteral("Play"));
  play_->setAccessibleName(playing ? QStringLiteral("Pause the replay") : QStringLiteral("Play the replay"));
}

void ReplayTimeline::showSpeed(int index) {
  const QSignalBlocker quiet(speed_);
  speed_->setCurrentIndex(index);
}

void ReplayTimeline::showVerdict(const QString& verdict) {
  verdict_->setText(verdict);
  verdict_->setAccessibleName(verdict);
}

}  // namespace tilerush
