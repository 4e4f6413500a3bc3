// The window's sound: plays the cue that answers what the stage says is heard, and
// turns off and on when the player asks (M); that choice is kept between runs.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <future>
#include <memory>

#include "app/player_settings.h"
#include "display/qt/sound_output.h"
#include "game/listener.h"
#include "hearing/cue_for.h"
#include "sound/cues.h"
#include "stage/view.h"

namespace tilerush {

class QtGame;

class GameSound : public QObject {
  Q_OBJECT

 public:
  // Starts silent when `mute` is set (--mute) or when the player last left it off,
  // as `settings` keep it.
  GameSound(PlayerSettings& settings, bool mute);
  // Hears what the stage of `game` says is heard, and its requests.
  void attach(QtGame& game);
  // Opens the sound device, unless muted. The window calls it once its first frame is
  // on screen, so that the start never waits for the sound server.
  void start();

  bool muted() const { return muted_; }
  // A device is open and the cues are made: what happens in play is heard.
  bool playing();

  void happened(Happening what, double before, double after);

 private:
  void openDevice();
  void deviceOpened(int sampleRate);
  void requested(stage::Request request);
  void toggleMute();
  void sayNoSound(const QString& why);

  PlayerSettings& settings_;
  SoundOutput output_;
  // Made on a thread of its own once the device's rate is known, in a few tens of
  // milliseconds; until then nothing sounds.
  std::future<std::shared_ptr<const sound::CueBank>> making_;
  std::shared_ptr<const sound::CueBank> bank_;
  sound::CuePolicy policy_;
  QElapsedTimer clock_;
  bool muted_;
  bool triedDevice_ = false;
  bool failed_ = false;
  bool saidNoSound_ = false;
};

}  // namespace tilerush
