// Token buckets by client, forgotten once full again.
#include "server/limiter.h"

#include <arpa/inet.h>

#include <algorithm>
#include <cmath>

namespace tilerush::board {
namespace {

// Past this many clients remembered, those whose allowance is whole again are dropped.
constexpr std::size_t kRememberedClients = 100'000;

}  // namespace

Limiter::Buckets& Limiter::refilled(const std::string& address, Clock::time_point now) {
  if (buckets_.size() > kRememberedClients) forgetFull(now);
  auto [found, fresh] = buckets_.try_emplace(address);
  Buckets& b = found->second;
  if (fresh) {
    b = {static_cast<double>(allowance_.gamesPerMinute), static_cast<double>(allowance_.gameMsPerMinute),
         now};
    return b;
  }
  const double minutes = std::chrono::duration<double>(now - b.at).count() / 60;
  b.games = std::min<double>(allowance_.gamesPerMinute, b.games + minutes * allowance_.gamesPerMinute);
  b.gameMs = std::min<double>(allowance_.gameMsPerMinute, b.gameMs + minutes * allowance_.gameMsPerMinute);
  b.at = now;
  return b;
}

void Limiter::forgetFull(Clock::time_point now) {
  std::erase_if(buckets_, [&](const auto& entry) { return now - entry.second.at > std::chrono::minutes(1); });
}

int Limiter::takeGame(const std::string& address, Clock::time_point now) {
  std::lock_guard lock(mutex_);
  Buckets& b = refilled(address, now);
  if (b.games >= 1 && b.gameMs > 0) {
    b.games -= 1;
    return 0;
  }
  const double gamesWait = b.games >= 1 ? 0 : (1 - b.games) * 60 / allowance_.gamesPerMinute;
  const double timeWait =
      b.gameMs > 0 ? 0 : (1 - b.gameMs) * 60 / static_cast<double>(allowance_.gameMsPerMinute);
  return std::max(1, static_cast<int>(std::ceil(std::max(gamesWait, timeWait))));
}

void Limiter::chargeGameTime(const std::string& address, std::int64_t ms, Clock::time_point now) {
  std::lock_guard lock(mutex_);
  refilled(address, now).gameMs -= static_cast<double>(ms);
}

std::string clientOf(const std::string& address) {
  in6_addr v6{};
  if (inet_pton(AF_INET6, address.c_str(), &v6) != 1) return address;
  // An IPv4 address written as IPv6 (::ffff:a.b.c.d) is that IPv4 address.
  if (IN6_IS_ADDR_V4MAPPED(&v6)) return address.substr(address.rfind(':') + 1);
  std::fill(v6.s6_addr + 8, v6.s6_addr + 16, 0);
  char text[INET6_ADDRSTRLEN];
  inet_ntop(AF_INET6, &v6, text, sizeof text);
  return std::string(text) + "/64";
}

}  // namespace tilerush::board
