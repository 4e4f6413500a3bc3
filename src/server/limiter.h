// How much each address may send: games a minute, and game time checked a minute. Kept
// in memory only; an address is never written anywhere.
#pragma once

#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <unordered_map>

namespace tilerush::board {

struct Allowance {
  int gamesPerMinute = 30;
  std::int64_t gameMsPerMinute = 6LL * 3'600'000;
};

class Limiter {
 public:
  using Clock = std::chrono::steady_clock;
  explicit Limiter(Allowance allowance) : allowance_(allowance) {}

  // Takes one game from the address's allowance: 0 if it may send it, otherwise the
  // seconds until it may send again.
  int takeGame(const std::string& address, Clock::time_point now = Clock::now());
  // Charges game time the check has played for the address; its next game waits
  // until the minute's allowance is back above nothing.
  void chargeGameTime(const std::string& address, std::int64_t ms, Clock::time_point now = Clock::now());

 private:
  // Two buckets that fill at their rate a minute up to a minute's worth.
  struct Buckets {
    double games = 0;
    double gameMs = 0;
    Clock::time_point at;
  };
  Buckets& refilled(const std::string& address, Clock::time_point now);
  void forgetFull(Clock::time_point now);

  Allowance allowance_;
  std::mutex mutex_;
  std::unordered_map<std::string, Buckets> buckets_;
};

// The part of a client's address that is one client: an IPv4 address whole, an IPv6
// address by its /64 (one household or host may hold all of a /64). Accepts the
// text of either; anything else is taken as it is.
std::string clientOf(const std::string& address);

}  // namespace tilerush::board
