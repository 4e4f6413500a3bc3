// Turns Qt key events into the game's key-downs and key-ups, a held key included.
#pragma once

#include <QObject>
#include <QTimer>
#include <functional>
#include <map>
#include <optional>

class QKeyEvent;

namespace tilerush {

// The game must see a held key as repeated key-downs and one key-up at the real
// release. X11 sends a held key as release and press pairs a fraction of a
// millisecond apart, and not every pair is flagged as auto-repeat, so a release is
// held back for a few milliseconds: a press of the same key within that time is a
// repeated key-down and the release is forgotten.
class KeyTranslator : public QObject {
  Q_OBJECT

 public:
  // A key-down, `repeat` when the key was down already: X's auto-repeat, flagged
  // or not, or a press that follows its own held-back release.
  using DownSink = std::function<void(int code, int shift, bool repeat)>;
  using KeySink = std::function<void(int code, int shift)>;

  static constexpr int kDefaultReleaseDelayMs = 15;

  KeyTranslator(DownSink down, KeySink up, int releaseDelayMs = kDefaultReleaseDelayMs);

  void press(const QKeyEvent& event);
  void release(const QKeyEvent& event);
  // Delivers a release still held back.
  void flush();
  // Delivers the release of every key still down, as when the window loses the keyboard.
  void releaseAll();
  bool releasePending() const { return pending_.has_value(); }

 private:
  struct Pending {
    int code;
    int shift;
  };

  DownSink onDown_;
  KeySink onUp_;
  QTimer releaseTimer_;
  std::optional<Pending> pending_;
  // Keys pressed whose release the game has not had: code and shift state. What is
  // held for the game is the game's to keep; this is for the held-back release.
  std::map<int, int> down_;
};

}  // namespace tilerush
