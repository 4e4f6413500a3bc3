// One client's connection: requests read one at a time under a deadline, each answered
// before the next is read.
#pragma once

#include <array>
#include <boost/asio/ip/tcp.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <memory>
#include <optional>
#include <string>

#include "server/http_server.h"

namespace tilerush::board {

class Connection : public std::enable_shared_from_this<Connection> {
 public:
  // `peer` was admitted by shared->admit(), and leaves when the connection goes.
  Connection(boost::asio::ip::tcp::socket socket, boost::asio::ip::address peer,
             std::shared_ptr<HttpServer::Shared> shared);
  ~Connection();
  void start();
  // Closes the connection if it is waiting for a request; one being answered finishes.
  void closeIfIdle();

 private:
  void read();
  void onRead(boost::beast::error_code error);
  void write(Response answer);
  void close();
  void drain();
  std::string clientOf(const Request& request) const;

  boost::beast::tcp_stream stream_;
  boost::beast::flat_buffer buffer_;
  std::optional<http::request_parser<http::string_body>> parser_;
  std::shared_ptr<HttpServer::Shared> shared_;
  boost::asio::ip::address peer_;
  bool reading_ = false;
  bool keepAlive_ = false;
  std::array<char, 4096> drained_;
};

}  // namespace tilerush::board
