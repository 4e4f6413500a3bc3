// A Qt audio sink on its own thread, written to only while something sounds, a
// little ahead of the ear.
#include "display/qt/sound_output.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QByteArray>
#include <QIODevice>
#include <QMediaDevices>
#include <QStringList>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "display/qt/vector_state.h"
#include "sound/mixer.h"

namespace tilerush {
namespace {

// What the device holds ahead of the ear while awake: a cue waits behind it, so it
// is short, yet long enough that a busy moment does not let the sound run dry.
constexpr int kAheadMs = 28;
// How often the lead is topped up while awake: each top-up wakes this thread, the
// sound library's and the server's, so not more often than the lead allows.
constexpr int kTopUpMs = 14;
// After this long without a sound the device is paused, so that the quiet moments
// of a game cost neither the sound server nor the game anything; the next cue wakes
// it within a millisecond or two. Pausing soon costs less than staying awake
// (docs/sound.md has the figures).
constexpr int kRestAfterMs = 40;

// Qt's sound code reports a missing or vanished sound server on standard error, in
// several lines of its own; the game says it once, in one line, itself.
QtMessageHandler otherMessages = nullptr;

bool fromSoundCode(const QMessageLogContext& context, const QString& message) {
  static const QStringList words = {QStringLiteral("PulseAudio"), QStringLiteral("Stream error"),
                                    QStringLiteral("QAudioSink"), QStringLiteral("pa_"),
                                    QStringLiteral("buffer overflow")};
  if (context.category && std::strncmp(context.category, "qt.multimedia", 13) == 0) return true;
  return std::any_of(words.begin(), words.end(), [&](const QString& w) { return message.contains(w); });
}

void quietSoundMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type != QtFatalMsg && fromSoundCode(context, message)) return;
  if (otherMessages) otherMessages(type, context, message);
}

QAudioFormat chooseFormat(const QAudioDevice& device) {
  QAudioFormat format;
  const int preferred = device.preferredFormat().sampleRate();
  format.setSampleRate(preferred >= 8000 && preferred <= 192000 ? preferred : 48000);
  format.setChannelCount(1);
  format.setSampleFormat(QAudioFormat::Float);
  if (!device.isFormatSupported(format)) format.setSampleFormat(QAudioFormat::Int16);
  return format;
}

}  // namespace

// The sink, the mixer and their timers, all on the sound thread.
class SoundOutput::Player : public QObject {
 public:
  // The timers are children, so that they move to the sound thread with the player.
  explicit Player(SoundOutput& output) : output_(output), topUpTimer_(this), restTimer_(this) {
    topUpTimer_.setTimerType(Qt::PreciseTimer);
    connect(&topUpTimer_, &QTimer::timeout, this, &Player::topUp);
    restTimer_.setSingleShot(true);
    connect(&restTimer_, &QTimer::timeout, this, &Player::rest);
  }

  void open();
  void play(std::shared_ptr<const std::vector<float>> samples);
  void setMuted(bool muted);

 private:
  void close();
  void wake();
  void topUp();
  void rest();
  void sinkStateChanged();
  void fail(const QString& why);

  SoundOutput& output_;
  bool floatSamples_ = true;
  std::unique_ptr<sound::Mixer> mixer_;
  std::unique_ptr<QAudioSink> sink_;
  QIODevice* device_ = nullptr;  // owned by the sink
  QTimer topUpTimer_;
  QTimer restTimer_;
  std::vector<float> mix_;
  QByteArray bytes_;
};

void SoundOutput::Player::open() {
  const QAudioDevice device = QMediaDevices::defaultAudioOutput();
  if (device.isNull()) return fail(QStringLiteral("no sound device"));
  const QAudioFormat format = chooseFormat(device);
  if (!device.isFormatSupported(format)) {
    return fail(QStringLiteral("%1 plays no format the game can give").arg(device.description()));
  }
  sink_ = std::make_unique<QAudioSink>(device, format);
  // The device starts playing once it holds this much, so a cue written into
  // silence starts at once.
  sink_->setBufferSize(format.bytesForDuration(kAheadMs * 1000));
  device_ = sink_->start();
  if (!device_ || sink_->error() != QAudio::NoError) {
    sink_.reset();
    return fail(QStringLiteral("%1 does not play").arg(device.description()));
  }
  floatSamples_ = format.sampleFormat() == QAudioFormat::Float;
  mixer_ = std::make_unique<sound::Mixer>(format.sampleRate());
  connect(sink_.get(), &QAudioSink::stateChanged, this, &Player::sinkStateChanged);
  // Fed silence from the start, the device is playing before the first cue comes;
  // it goes to rest soon after.
  wake();
  Q_EMIT output_.opened(format.sampleRate());
}

void SoundOutput::Player::play(std::shared_ptr<const std::vector<float>> samples) {
  if (!sink_) return;
  mixer_->start(std::move(samples));
  wake();
}

void SoundOutput::Player::setMuted(bool muted) {
  if (!sink_) return;
  mixer_->setMuted(muted);
  if (sink_->state() != QAudio::SuspendedState) topUp();
}

void SoundOutput::Player::close() {
  topUpTimer_.stop();
  restTimer_.stop();
  if (sink_) sink_->stop();
  sink_.reset();
}

// Resuming starts the device playing at once, whatever it holds; a device that has
// run dry would instead wait until it is full again before it plays anything.
void SoundOutput::Player::wake() {
  if (sink_->state() == QAudio::SuspendedState) sink_->resume();
  restTimer_.stop();
  topUp();
  topUpTimer_.start(kTopUpMs);
}

// Keeps the device fed up to its lead, with silence once the mix has run out, so
// that it never runs dry while awake; a while after the last sound it goes to rest.
void SoundOutput::Player::topUp() {
  const int bytesPerSample = floatSamples_ ? 4 : 2;
  const auto frames = static_cast<std::size_t>(sink_->bytesFree() / bytesPerSample);
  if (frames > 0) {
    mix_.resize(frames);
    mixer_->render(mix_.data(), frames);
    bytes_.resize(static_cast<qsizetype>(frames) * bytesPerSample);
    if (floatSamples_) {
      std::memcpy(bytes_.data(), mix_.data(), static_cast<std::size_t>(bytes_.size()));
    } else {
      auto* out = reinterpret_cast<qint16*>(bytes_.data());
      for (std::size_t i = 0; i < frames; ++i) out[i] = static_cast<qint16>(std::lround(mix_[i] * 32767));
    }
    device_->write(bytes_);
  }
  if (mixer_->idle() && !restTimer_.isActive()) restTimer_.start(kRestAfterMs);
}

void SoundOutput::Player::rest() {
  if (!mixer_->idle()) return;
  topUpTimer_.stop();
  sink_->suspend();
}

void SoundOutput::Player::sinkStateChanged() {
  if (!sink_ || sink_->error() == QAudio::NoError || sink_->error() == QAudio::UnderrunError) return;
  close();
  fail(QStringLiteral("the sound device stopped playing"));
}

void SoundOutput::Player::fail(const QString& why) { Q_EMIT output_.failed(why); }

SoundOutput::SoundOutput() : player_(new Player(*this)) {
  player_->moveToThread(&thread_);
  const auto clearOnStart = [] { clearUpperVectorHalves(); };
  connect(&thread_, &QThread::started, player_, clearOnStart, Qt::DirectConnection);
  connect(&thread_, &QThread::finished, player_, &QObject::deleteLater);
  thread_.setObjectName(QStringLiteral("sound"));
  thread_.start();
}

// The player, and with it the sink, goes with the thread's end, on the thread.
SoundOutput::~SoundOutput() {
  thread_.quit();
  // A sound server that hangs must not keep the game from ending.
  if (!thread_.wait(QDeadlineTimer(2000))) {
    thread_.terminate();
    thread_.wait();
  }
}

void SoundOutput::open() {
  if (!otherMessages) otherMessages = qInstallMessageHandler(quietSoundMessages);
  QMetaObject::invokeMethod(player_, [player = player_] { player->open(); });
}

void SoundOutput::play(std::shared_ptr<const std::vector<float>> samples) {
  QMetaObject::invokeMethod(player_,
                            [player = player_, samples = std::move(samples)] { player->play(samples); });
}

void SoundOutput::setMuted(bool muted) {
  QMetaObject::invokeMethod(player_, [player = player_, muted] { player->setMuted(muted); });
}

}  // namespace tilerush
