// The window's timers and push buttons by type inside the program, by name at its edges.
#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace tilerush {

// Ticks due at one instant fire in this order.
enum class TimerId { Timer1, Timer2, Timer3 };
enum class ButtonId { Pause, NextLevel, GameOver };

inline constexpr std::array<TimerId, 3> kTimers = {TimerId::Timer1, TimerId::Timer2, TimerId::Timer3};
inline constexpr std::array<ButtonId, 3> kButtons = {ButtonId::Pause, ButtonId::NextLevel,
                                                     ButtonId::GameOver};

// The element names the layout gives them, which scripts and dumps use too.
constexpr std::string_view nameOf(TimerId timer) {
  constexpr std::array<std::string_view, 3> names = {"Timer1", "Timer2", "Timer3"};
  return names[static_cast<std::size_t>(timer)];
}
constexpr std::string_view nameOf(ButtonId button) {
  constexpr std::array<std::string_view, 3> names = {"pause", "nextlevel", "gameover"};
  return names[static_cast<std::size_t>(button)];
}

// Null for a name that is none of the window's.
template <typename Id, std::size_t N>
constexpr std::optional<Id> idNamed(const std::array<Id, N>& ids, std::string_view name) {
  for (Id id : ids) {
    if (nameOf(id) == name) return id;
  }
  return std::nullopt;
}
constexpr std::optional<TimerId> timerNamed(std::string_view name) { return idNamed(kTimers, name); }
constexpr std::optional<ButtonId> buttonNamed(std::string_view name) { return idNamed(kButtons, name); }

// The intervals the layout starts the timers with, in milliseconds.
inline constexpr int kPlayTickMs = 25;  // paddle and ball
inline constexpr int kLogoTickMs = 50;

}  // namespace tilerush
