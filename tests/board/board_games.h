// Games for the board's tests: the automatic player's, recorded one game a replay, as
// the front ends send them.
#pragma once

#include <cstdint>
#include <string>

#include "game/form1.h"
#include "game/session.h"
#include "sim/autoplay.h"
#include "sim/recorder.h"

namespace tilerush::testing {

// The automatic player on `seed` until "Game Over" shows or `longestMs` have passed,
// with the recorder's header and closing expectations; the session is left where it ends.
inline std::string autoplayedGame(Session& session, std::uint64_t seed, std::int64_t longestMs) {
  std::string lines;
  sim::Recorder recorder(
      session, [&](std::string_view line) { lines += line; }, "test", "2026-12-10T08:15:02Z");
  session.setInputLog(&recorder);
  session.fixSeed(seed);
  session.open();
  sim::Autoplayer player(session);
  // Looked at a tick at a time, so that the game ends before the player clicks "Game Over".
  while (session.now() < longestMs && !session.form().element(ButtonId::GameOver).visible()) player.play(25);
  std::string replay = lines + recorder.closing();
  session.setInputLog(nullptr);
  return replay;
}

inline std::string autoplayedGame(std::uint64_t seed, std::int64_t longestMs) {
  Session session([] { return 1; });
  return autoplayedGame(session, seed, longestMs);
}

}  // namespace tilerush::testing
