// A Qt audio sink written to only while something sounds, a little ahead of the ear.
#include "display/qt/sound_output.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QIODevice>
#include <QMediaDevices>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <cstring>

namespace tilerush {
namespace {

// What the device holds ahead of the ear while cues sound: a cue that starts then
// waits behind it, so it is short, yet long enough that a busy moment of the event
// loop does not let the sound run dry. A cue that starts in silence is heard at once.
constexpr int kAheadMs = 24;
// How often the lead is topped up while something sounds.
constexpr int kTopUpMs = 8;

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

SoundOutput::SoundOutput() {
  topUpTimer_.setTimerType(Qt::PreciseTimer);
  connect(&topUpTimer_, &QTimer::timeout, this, &SoundOutput::topUp);
}

SoundOutput::~SoundOutput() {
  if (sink_) sink_->stop();
}

bool SoundOutput::open(QString* why) {
  if (!otherMessages) otherMessages = qInstallMessageHandler(quietSoundMessages);
  const QAudioDevice device = QMediaDevices::defaultAudioOutput();
  if (device.isNull()) {
    *why = QStringLiteral("no sound device");
    return false;
  }
  const QAudioFormat format = chooseFormat(device);
  if (!device.isFormatSupported(format)) {
    *why = QStringLiteral("%1 plays no format the game can give").arg(device.description());
    return false;
  }
  sink_ = std::make_unique<QAudioSink>(device, format);
  // The device starts playing once it holds this much, so a cue written into
  // silence starts at once.
  sink_->setBufferSize(format.bytesForDuration(kAheadMs * 1000));
  device_ = sink_->start();
  if (!device_ || sink_->error() != QAudio::NoError) {
    *why = QStringLiteral("%1 does not play").arg(device.description());
    sink_.reset();
    device_ = nullptr;
    return false;
  }
  sampleRate_ = format.sampleRate();
  floatSamples_ = format.sampleFormat() == QAudioFormat::Float;
  mixer_ = std::make_unique<sound::Mixer>(sampleRate_);
  connect(sink_.get(), &QAudioSink::stateChanged, this, &SoundOutput::sinkStateChanged);
  return true;
}

void SoundOutput::play(std::shared_ptr<const std::vector<float>> samples) {
  if (!sink_) return;
  mixer_->start(std::move(samples));
  topUp();
}

void SoundOutput::setMuted(bool muted) {
  if (!sink_) return;
  mixer_->setMuted(muted);
  topUp();
}

// Writes as much of the mix as the device has room for, up to its lead; once the
// mix has run out the device is left to run dry, which it fills with silence.
void SoundOutput::topUp() {
  if (!sink_ || mixer_->idle()) {
    topUpTimer_.stop();
    return;
  }
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
  if (!topUpTimer_.isActive()) topUpTimer_.start(kTopUpMs);
}

void SoundOutput::sinkStateChanged() {
  if (!sink_ || sink_->error() == QAudio::NoError || sink_->error() == QAudio::UnderrunError) return;
  topUpTimer_.stop();
  sink_.release()->deleteLater();
  device_ = nullptr;
  Q_EMIT failed(QStringLiteral("the sound device stopped playing"));
}

}  // namespace tilerush
