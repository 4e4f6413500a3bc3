// What the game needs from the program it runs in, beyond the element model.
#pragma once

#include <cstdint>
#include <functional>

namespace tilerush {

class Platform {
 public:
  virtual ~Platform() = default;
  // A fresh seed for the random source at each start-up (the clock, on a real window).
  virtual std::uint64_t clockSeed() = 0;
  // Runs no game handler for `ms` milliseconds without freezing the window: timer
  // ticks falling due meanwhile are dropped and input is held. Then `resume` runs,
  // then the held input in its order.
  virtual void holdEvents(int ms, std::function<void()> resume) = 0;
};

}  // namespace tilerush
