// The held-back release: a release only counts once no press of its key follows it.
#include "display/qt/key_translator.h"

#include <QKeyEvent>
#include <utility>

#include "display/qt/key_codes.h"

namespace tilerush {

KeyTranslator::KeyTranslator(DownSink down, KeySink up, int releaseDelayMs)
    : onDown_(std::move(down)), onUp_(std::move(up)) {
  releaseTimer_.setSingleShot(true);
  releaseTimer_.setTimerType(Qt::PreciseTimer);
  releaseTimer_.setInterval(releaseDelayMs);
  connect(&releaseTimer_, &QTimer::timeout, this, &KeyTranslator::flush);
}

void KeyTranslator::press(const QKeyEvent& event) {
  const int code = gameKeyCode(event.key());
  const int shift = gameShiftState(event.modifiers());
  if (pending_ && pending_->code == code) {
    // The other half of a repeat pair: the key never came up.
    releaseTimer_.stop();
    pending_.reset();
  } else {
    flush();
  }
  const bool repeat = !down_.insert_or_assign(code, shift).second;
  onDown_(code, shift, repeat);
}

void KeyTranslator::release(const QKeyEvent& event) {
  // Qt saw the press that follows this release already: the key is still down.
  if (event.isAutoRepeat()) return;
  flush();
  pending_ = Pending{gameKeyCode(event.key()), gameShiftState(event.modifiers())};
  releaseTimer_.start();
}

void KeyTranslator::flush() {
  releaseTimer_.stop();
  if (!pending_) return;
  Pending released = *pending_;
  pending_.reset();
  down_.erase(released.code);
  onUp_(released.code, released.shift);
}

void KeyTranslator::releaseAll() {
  flush();
  for (auto [code, shift] : std::exchange(down_, {})) onUp_(code, shift);
}

}  // namespace tilerush
