// The stage's view in the page: the canvas follows the game shown, and whatever the
// page's script must hear goes to it as one JSON object a message.
#include "web/page_view.h"

#include <emscripten/emscripten.h>

#include <chrono>
#include <cmath>
#include <ctime>

#include "web/readouts.h"

extern "C" {
// Defined in web/page-calls.js: a message for the page, as JSON.
void tr_tell(const char* json);
}

namespace tilerush {

std::uint64_t pageClockSeed() {
  const auto ms = std::chrono::system_clock::now().time_since_epoch() / std::chrono::milliseconds(1);
  return static_cast<std::uint64_t>(ms) * 1000 +
         static_cast<std::uint64_t>(std::fmod(emscripten_get_now(), 1.0) * 1000);
}

std::int64_t pageNs(double realMs) { return std::llround(realMs * static_cast<double>(kNsPerMs)); }

double pageMs(std::int64_t realNs) { return static_cast<double>(realNs) / static_cast<double>(kNsPerMs); }

double waitMs(std::optional<std::int64_t> ns) { return ns ? pageMs(*ns) : -1; }

std::string utcNow() {
  const std::time_t now = std::time(nullptr);
  std::tm utc{};
  gmtime_r(&now, &utc);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
  return text;
}

std::string jsonString(std::string_view text) {
  std::string json = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') {
      json += '\\';
      json += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      // Written by hand: printf's machinery would weigh more than the rest of this.
      constexpr std::string_view kHex = "0123456789abcdef";
      json += "\\u00";
      json += kHex[static_cast<unsigned char>(c) >> 4];
      json += kHex[static_cast<unsigned char>(c) & 0xF];
    } else {
      json += c;
    }
  }
  return json + '"';
}

void tellPage(const std::string& json) { tr_tell(json.c_str()); }

std::optional<ButtonId> PageView::button(int id) const {
  if (!view_) return std::nullopt;
  const std::string* name = view_->buttons().name(id);
  return name ? buttonNamed(*name) : std::nullopt;
}

void PageView::forget() {
  if (game_ && view_ && drawing_) game_->display().removeObserver(view_.get());
  view_.reset();
  game_ = nullptr;
}

void PageView::show(Session& game) {
  forget();
  game_ = &game;
  view_ = std::make_unique<WebView>(game.display());
  drawing_ = true;
  game.display().addObserver(view_.get());
  view_->showAll();
  // The counters are told afresh for the game now shown.
  readouts_.clear();
}

// A seek's fast run is neither drawn nor heard: the game area is drawn whole after it.
void PageView::drawing(bool on) {
  if (!game_ || on == drawing_) return;
  drawing_ = on;
  if (!on) {
    game_->display().removeObserver(view_.get());
    return;
  }
  game_->display().addObserver(view_.get());
  view_->showAll();
}

void PageView::paint() {
  if (!view_ || !drawing_) return;
  view_->paint();
  std::string now = readouts(game_->display(), game_->form().state());
  if (now == readouts_) return;
  readouts_ = std::move(now);
  tellPage(R"({"type":"readouts","counters":)" + readouts_ + '}');
}

void PageView::repaintAll() {
  if (!view_) return;
  view_->repaintAll();
  view_->paint();
}

void PageView::happened(Happening what, double before, double after) { sound_.happened(what, before, after); }

}  // namespace tilerush
