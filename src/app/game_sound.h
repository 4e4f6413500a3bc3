// The window's sound: hears what happens in play and plays its cue; M turns it off
// and on, and that choice is kept between runs.
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

namespace tilerush {

class QtGame;

class GameSound : public QObject, public GameListener {
  Q_OBJECT

 public:
  // Starts silent when `mute` is set (--mute) or when the player last left it off,
  // as `settings` keep it.
  GameSound(PlayerSettings& settings, bool mute);
  ~GameSound() override;

  // Listens to the game and to its window's M key. The sound device is opened once
  // the window is up, so that start-up never waits for it.
  void attach(QtGame& game);

  bool muted() const { return muted_; }
  // A device is open and the cues are made: what happens in play is heard.
  bool playing();

  void happened(Happening what, double before, double after) override;

 private:
  void openDevice();
  void deviceOpened(int sampleRate);
  void keyDown(int code);
  void toggleMute();
  void sayNoSound(const QString& why);

  QtGame* game_ = nullptr;
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
  bool muteKeyHeld_ = false;
};

}  // namespace tilerush
