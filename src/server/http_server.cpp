// Accepting connections up to the bound, and stopping.
#include "server/http_server.h"

#include <boost/asio/strand.hpp>

#include "server/connection.h"
#include "server/limiter.h"

namespace tilerush::board {

namespace asio = boost::asio;

HttpServer::HttpServer(asio::io_context& io, const asio::ip::tcp::endpoint& where, Api& api,
                       ConnectionLimits limits, const std::optional<asio::ip::address>& trustedProxy)
    : io_(io),
      acceptor_(asio::make_strand(io)),
      shared_(std::make_shared<Shared>(api, limits, trustedProxy)) {
  acceptor_.open(where.protocol());
  acceptor_.set_option(asio::socket_base::reuse_address(true));
  acceptor_.bind(where);
  acceptor_.listen(asio::socket_base::max_listen_connections);
  port_ = acceptor_.local_endpoint().port();
}

void HttpServer::start() { accept(); }

void HttpServer::accept() {
  acceptor_.async_accept(asio::make_strand(io_),
                         [this](boost::system::error_code error, asio::ip::tcp::socket socket) {
                           if (error == asio::error::operation_aborted || !acceptor_.is_open()) return;
                           // Past a bound a connection is closed at once, before it can hold anything.
                           if (!error) {
                             boost::system::error_code unknown;
                             const asio::ip::address peer = socket.remote_endpoint(unknown).address();
                             if (!unknown && shared_->admit(peer))
                               std::make_shared<Connection>(std::move(socket), peer, shared_)->start();
                           }
                           accept();
                         });
}

bool HttpServer::Shared::admit(const asio::ip::address& peer) {
  std::lock_guard lock(mutex);
  if (admitted >= limits.connections) return false;
  if (!trustedProxy || peer != *trustedProxy) {
    std::size_t& fromClient = byClient[clientOf(peer.to_string())];
    if (fromClient >= limits.connectionsPerClient) return false;
    ++fromClient;
  }
  ++admitted;
  return true;
}

void HttpServer::Shared::left(const asio::ip::address& peer) {
  std::lock_guard lock(mutex);
  --admitted;
  if (trustedProxy && peer == *trustedProxy) return;
  const auto client = byClient.find(clientOf(peer.to_string()));
  if (client != byClient.end() && --client->second == 0) byClient.erase(client);
}

void HttpServer::stop() {
  asio::post(acceptor_.get_executor(), [this] {
    boost::system::error_code ignored;
    acceptor_.close(ignored);
  });
  shared_->stopping = true;
  std::lock_guard lock(shared_->mutex);
  for (Connection* connection : shared_->open) connection->closeIfIdle();
}

}  // namespace tilerush::board
