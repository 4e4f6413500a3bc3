// A replay's stretches of game time, one after the other, on the window's clock.
#include "app/replay_player.h"

#include <ios>
#include <memory>

namespace tilerush {

std::string ReplayPlayer::check(const std::string& path) {
  auto file = std::make_unique<std::ifstream>(path, std::ios::binary);
  if (!*file) return "cannot read " + path;
  std::string wrong = sim::ReplayCheck::run(std::move(file));
  return wrong.empty() ? wrong : path + ": " + wrong;
}

ReplayPlayer::ReplayPlayer(QtGame& game, const std::string& path, std::ostream& out)
    : game_(game), file_(path, std::ios::binary), out_(out), pace_(game.session(), file_, out) {}

void ReplayPlayer::start() {
  game_.takePlayerInput(false);
  next();
}

void ReplayPlayer::next() {
  std::optional<std::int64_t> until = pace_.next();
  if (game_.session().isOpen() && !game_.window().isVisible()) game_.show();
  if (until) return game_.runUntil(*until, [this] { next(); });
  game_.halt();
  out_ << pace_.verdict() << '\n';
  out_.flush();
}

}  // namespace tilerush
