// What the stage tells the page, in either of the page's programs: the game shown
// drawn on the canvas and its buttons, its sound handed to the page as cues, and its
// counters told to the page's script, as every message is (web/crossing.js names them
// all).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "display/web/web_view.h"
#include "game/paced_game.h"
#include "game/session.h"
#include "stage/view.h"
#include "web/page_sound.h"

namespace tilerush {

// The time of day in microseconds, as far as the browser tells them: a new seed at
// every start-up.
std::uint64_t pageClockSeed();
// Now, as the window dates a replay: 2025-01-31T12:00:00Z.
std::string utcNow();
// The page's clock, performance.now() in milliseconds, as the nanoseconds the stage
// takes, and back.
std::int64_t pageNs(double realMs);
double pageMs(std::int64_t realNs);
// Real nanoseconds until the next wake-up as the page's script waits for it: in
// milliseconds, -1 for none.
double waitMs(std::optional<std::int64_t> ns);

// `text` as a JSON string, quotes and all; `on` as a JSON boolean.
std::string jsonString(std::string_view text);
inline const char* jsonBool(bool on) { return on ? "true" : "false"; }
// Hands a message (a JSON object) to the page's script, which posts it to the page.
void tellPage(const std::string& json);

class PageView : public stage::View {
 public:
  // The page's push button `id` as the game names it, where the game shown has one.
  std::optional<ButtonId> button(int id) const;

  // Draws what changed and, when they changed, tells the game's counters to the page.
  void paint();
  // The canvas lost its pixels or changed scale: everything is drawn again.
  void repaintAll();
  // The game shown is about to go: nothing of it is drawn any more.
  void forget();
  // Whether the page plays the cues (its sound is on and ready).
  void hear(bool on) { sound_.hear(on); }

  // stage::View: what both programs show. The rest is told by each program's own
  // view (play.cpp the mode and what was asked, watch.cpp the timeline and verdict),
  // so that neither carries the other's.
  void show(Session& game) override;
  void drawing(bool on) override;
  void happened(Happening what, double before, double after) override;

 private:
  Session* game_ = nullptr;
  std::unique_ptr<WebView> view_;
  bool drawing_ = true;
  PageSound sound_;
  std::string readouts_;
};

}  // namespace tilerush
