// Plays sample buffers through the default sound device, mixed as they come; knows
// nothing of the game.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>
#include <memory>
#include <vector>

#include "sound/mixer.h"

class QAudioSink;
class QIODevice;

namespace tilerush {

class SoundOutput : public QObject {
  Q_OBJECT

 public:
  SoundOutput();
  ~SoundOutput() override;

  // Opens the default output device. False, with the reason, where there is none or
  // it refuses to play; the output then stays silent and costs nothing.
  bool open(QString* why);
  bool isOpen() const { return sink_ != nullptr; }
  // Hertz of the open output: the rate every buffer given to play() must have.
  int sampleRate() const { return sampleRate_; }

  // Starts mono samples in [-1, 1] now, over whatever already sounds. Never waits
  // for the device.
  void play(std::shared_ptr<const std::vector<float>> samples);
  // Fades what sounds out, and keeps anything new from sounding, until unmuted.
  void setMuted(bool muted);
  // Nothing is sounding or fading; nothing is written and no timer runs.
  bool idle() const { return !mixer_ || mixer_->idle(); }

 Q_SIGNALS:
  // The device stopped playing after it was opened (say, the sound server went away).
  void failed(const QString& why);

 private:
  void topUp();
  void sinkStateChanged();

  int sampleRate_ = 0;
  bool floatSamples_ = true;
  std::unique_ptr<sound::Mixer> mixer_;
  std::unique_ptr<QAudioSink> sink_;
  QIODevice* device_ = nullptr;  // owned by the sink
  QTimer topUpTimer_;
  std::vector<float> mix_;
  QByteArray bytes_;
};

}  // namespace tilerush
