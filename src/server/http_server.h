// The board's HTTP/1.1 on Boost.Beast: every connection with a deadline, a bound on
// how many are open, limits on a request's header and body, and answers made by Api.
#pragma once

#include <atomic>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <chrono>
#include <cstddef>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "server/api.h"

namespace tilerush::board {

struct ConnectionLimits {
  // For a whole request to arrive, and for an idle connection to send its next one.
  std::chrono::seconds readTimeout{20};
  std::chrono::seconds writeTimeout{30};
  // Each may be reading a body of up to 2 MiB: 512 of them at most 1 GiB.
  std::size_t connections = 512;
  // From one client (IPv4 address, IPv6 /64), so that one cannot take them all; the
  // trusted proxy is everyone's, and is not held to it.
  std::size_t connectionsPerClient = 32;
  std::uint32_t headerBytes = 16 * 1024;
  std::uint64_t bodyBytes = 2 * 1024 * 1024;
};

class Connection;

class HttpServer {
 public:
  HttpServer(boost::asio::io_context& io, const boost::asio::ip::tcp::endpoint& where, Api& api,
             ConnectionLimits limits, const std::optional<boost::asio::ip::address>& trustedProxy);
  unsigned short port() const { return port_; }
  // Takes connections until stop().
  void start();
  // Takes no more connections, closes those waiting for a request, and lets those
  // with one finish it and close.
  void stop();

  // What every connection shares.
  struct Shared {
    Shared(Api& a, ConnectionLimits l, std::optional<boost::asio::ip::address> proxy)
        : api(a), limits(l), trustedProxy(std::move(proxy)) {}
    Api& api;
    ConnectionLimits limits;
    std::optional<boost::asio::ip::address> trustedProxy;
    // Whether a connection from `peer` may open now; it counts until left().
    bool admit(const boost::asio::ip::address& peer);
    void left(const boost::asio::ip::address& peer);

    std::atomic<bool> stopping{false};
    std::mutex mutex;
    std::unordered_set<Connection*> open;
    std::size_t admitted = 0;
    std::unordered_map<std::string, std::size_t> byClient;
  };

 private:
  void accept();

  boost::asio::io_context& io_;
  boost::asio::ip::tcp::acceptor acceptor_;
  unsigned short port_ = 0;
  std::shared_ptr<Shared> shared_;
};

}  // namespace tilerush::board
