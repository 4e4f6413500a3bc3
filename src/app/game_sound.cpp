// From the game's happenings to cues on the sound device, and the M key.
#include "app/game_sound.h"

#include <QTimer>
#include <chrono>
#include <cstdio>

#include "app/qt_game.h"
#include "display/qt/vector_state.h"
#include "game/keys.h"

namespace tilerush {
GameSound::GameSound(PlayerSettings& settings, bool mute)
    : settings_(settings), muted_(mute || settings.muted()) {
  clock_.start();
  connect(&output_, &SoundOutput::opened, this, &GameSound::deviceOpened);
  connect(&output_, &SoundOutput::failed, this, [this](const QString& why) {
    failed_ = true;
    sayNoSound(why);
  });
}

GameSound::~GameSound() {
  if (game_) game_->form().setListener(nullptr);
}

void GameSound::attach(QtGame& game) {
  game_ = &game;
  game.form().setListener(this);
  // M's key-down and release reach the game as every key's do; the sound only
  // watches them go by.
  connect(&game.window(), &GameWindow::keyDown, this, [this](int code, int) { keyDown(code); });
  connect(&game.window(), &GameWindow::keyUp, this, [this](int code, int) {
    if (code == kKeyM) muteKeyHeld_ = false;
  });
  if (!muted_) QTimer::singleShot(0, this, &GameSound::openDevice);
}

void GameSound::happened(Happening what, double before, double after) {
  if (muted_ || !playing()) return;
  if (auto cue = sound::hear(policy_, what, before, after, clock_.elapsed()))
    output_.play(bank_->samples(*cue));
}

bool GameSound::playing() {
  if (!bank_ && making_.valid() && making_.wait_for(std::chrono::seconds(0)) == std::future_status::ready) {
    bank_ = making_.get();
  }
  return bank_ && !failed_;
}

void GameSound::openDevice() {
  if (triedDevice_) return;
  triedDevice_ = true;
  output_.open();
}

void GameSound::deviceOpened(int sampleRate) {
  making_ = std::async(std::launch::async, [sampleRate] {
    clearUpperVectorHalves();
    return std::make_shared<const sound::CueBank>(sampleRate);
  });
}

// A held key repeats its key-down; only the first one of a press toggles.
void GameSound::keyDown(int code) {
  if (code != kKeyM || muteKeyHeld_) return;
  muteKeyHeld_ = true;
  toggleMute();
}

void GameSound::toggleMute() {
  muted_ = !muted_;
  settings_.setMuted(muted_);
  output_.setMuted(muted_);
  if (muted_) policy_.clear();
  if (!muted_) openDevice();
}

// Said once, whatever goes wrong and however often: a game without sound is still
// the whole game.
void GameSound::sayNoSound(const QString& why) {
  if (saidNoSound_) return;
  saidNoSound_ = true;
  std::fprintf(stderr, "tilerush: playing without sound: %s\n", qPrintable(why));
  std::fflush(stderr);
}

}  // namespace tilerush
