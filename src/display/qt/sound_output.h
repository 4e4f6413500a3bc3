// Plays sample buffers through the default sound device, mixed as they come; knows
// nothing of the game.
#pragma once

#include <QObject>
#include <QString>
#include <QThread>
#include <memory>
#include <vector>

namespace tilerush {

// Everything that touches the device runs on a thread of its own: opening it,
// writing to it, and waiting on the sound server, so the game never waits for any
// of it. The calls below only hand work over and return at once.
class SoundOutput : public QObject {
  Q_OBJECT

 public:
  SoundOutput();
  ~SoundOutput() override;

  // Opens the default output device; opened() or failed() tells how it went.
  void open();

  // Starts mono samples in [-1, 1], at the rate opened() gave, over whatever already
  // sounds. Ignored until the device is open.
  void play(std::shared_ptr<const std::vector<float>> samples);
  // Fades what sounds out, and keeps anything new from sounding, until unmuted.
  void setMuted(bool muted);

 Q_SIGNALS:
  // The device is open and plays buffers at `sampleRate` hertz.
  void opened(int sampleRate);
  // There is no device, it refused to play, or it stopped (say, the sound server
  // went away): from now on nothing is heard.
  void failed(const QString& why);

 private:
  class Player;

  QThread thread_;
  Player* player_;  // lives on thread_, which deletes it when it finishes
};

}  // namespace tilerush
