// From what is heard in the game shown to cues on the sound device, and the M key.
#include "app/game_sound.h"

#include <chrono>
#include <cstdio>

#include "app/qt_game.h"
#include "display/qt/vector_state.h"

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

void GameSound::attach(QtGame& game) {
  connect(&game, &QtGame::heard, this, &GameSound::happened);
  connect(&game, &QtGame::requested, this, &GameSound::requested);
}

void GameSound::start() {
  if (!muted_) openDevice();
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

void GameSound::requested(stage::Request request) {
  if (request == stage::Request::ToggleSound) toggleMute();
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
