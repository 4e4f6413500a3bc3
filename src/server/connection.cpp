// Reading, answering and closing one connection, all on its own strand.
#include "server/connection.h"

#include <boost/asio/dispatch.hpp>
#include <boost/asio/post.hpp>

#include "server/limiter.h"

namespace tilerush::board {
namespace {

namespace asio = boost::asio;
namespace beast = boost::beast;

// The address the trusted proxy saw: the last of X-Forwarded-For, which it added.
std::optional<std::string> forwardedFor(beast::string_view header) {
  std::string_view list(header.data(), header.size());
  std::string_view last = list.substr(list.rfind(',') == std::string_view::npos ? 0 : list.rfind(',') + 1);
  while (!last.empty() && last.front() == ' ') last.remove_prefix(1);
  while (!last.empty() && last.back() == ' ') last.remove_suffix(1);
  boost::system::error_code error;
  const asio::ip::address address = asio::ip::make_address(std::string(last), error);
  if (error) return std::nullopt;
  return address.to_string();
}

}  // namespace

Connection::Connection(asio::ip::tcp::socket socket, asio::ip::address peer,
                       std::shared_ptr<HttpServer::Shared> shared)
    : stream_(std::move(socket)), shared_(std::move(shared)), peer_(std::move(peer)) {
  std::lock_guard lock(shared_->mutex);
  shared_->open.insert(this);
}

Connection::~Connection() {
  {
    std::lock_guard lock(shared_->mutex);
    shared_->open.erase(this);
  }
  shared_->left(peer_);
}

void Connection::start() {
  asio::dispatch(stream_.get_executor(), [self = shared_from_this()] { self->read(); });
}

void Connection::closeIfIdle() {
  // Called from outside the connection's strand, maybe as its last owner lets it go.
  std::shared_ptr<Connection> self = weak_from_this().lock();
  if (!self) return;
  // Its read ends as cancelled, and onRead closes it.
  asio::post(stream_.get_executor(), [self] {
    if (self->reading_) self->stream_.cancel();
  });
}

void Connection::read() {
  if (shared_->stopping) return close();
  parser_.emplace();
  parser_->header_limit(shared_->limits.headerBytes);
  parser_->body_limit(shared_->limits.bodyBytes);
  reading_ = true;
  stream_.expires_after(shared_->limits.readTimeout);
  http::async_read(
      stream_, buffer_, *parser_,
      [self = shared_from_this()](beast::error_code error, std::size_t) { self->onRead(error); });
}

void Connection::onRead(beast::error_code error) {
  reading_ = false;
  if (error == http::error::body_limit) {
    keepAlive_ = false;
    return write(errorAnswer(http::status::payload_too_large, "The body is larger than 2 MiB."));
  }
  if (error == http::error::header_limit) {
    keepAlive_ = false;
    return write(
        errorAnswer(http::status::request_header_fields_too_large, "The request's header is too large."));
  }
  if (error == http::error::end_of_stream || error == beast::error::timeout ||
      error == asio::error::operation_aborted || error == asio::error::connection_reset ||
      error == asio::error::eof)
    return close();
  if (error) {
    keepAlive_ = false;
    return write(errorAnswer(http::status::bad_request, "The request is not HTTP the board can read."));
  }
  Request request = parser_->release();
  keepAlive_ = request.keep_alive();
  const std::string client = clientOf(request);
  const bool head = request.method() == http::verb::head;
  const Reply reply = [self = shared_from_this(), head](Response answer) {
    if (head) answer.body().clear();
    asio::post(self->stream_.get_executor(),
               [self, answer = std::move(answer)]() mutable { self->write(std::move(answer)); });
  };
  try {
    shared_->api.handle(std::move(request), client, reply);
  } catch (const std::exception&) {
    reply(errorAnswer(http::status::internal_server_error, "The board failed to answer this request."));
  }
}

void Connection::write(Response answer) {
  const bool keepOpen = keepAlive_ && !shared_->stopping;
  answer.keep_alive(keepOpen);
  auto message = std::make_shared<Response>(std::move(answer));
  stream_.expires_after(shared_->limits.writeTimeout);
  http::async_write(stream_, *message,
                    [self = shared_from_this(), message, keepOpen](beast::error_code error, std::size_t) {
                      if (error || !keepOpen) return self->close();
                      self->read();
                    });
}

// Closing a socket that still has a request's unread bytes in it resets the connection,
// and the client may lose the answer before it reads it (a 413 for a body still being
// sent, say). So the answer's end is sent first, and what the client still sends is
// read and dropped until it stops, for a second at most.
void Connection::close() {
  beast::error_code ignored;
  stream_.socket().shutdown(asio::ip::tcp::socket::shutdown_send, ignored);
  stream_.expires_after(std::chrono::seconds(1));
  drain();
}

void Connection::drain() {
  stream_.async_read_some(asio::buffer(drained_),
                          [self = shared_from_this()](beast::error_code error, std::size_t) {
                            if (error) return self->stream_.close();
                            self->drain();
                          });
}

// Where the limiter counts the request: the connection's peer, or behind the trusted
// proxy the address it forwarded for.
std::string Connection::clientOf(const Request& request) const {
  std::string address = peer_.to_string();
  if (shared_->trustedProxy && peer_ == *shared_->trustedProxy) {
    if (const auto forwarded = forwardedFor(request["X-Forwarded-For"])) address = *forwarded;
  }
  return board::clientOf(address);
}

}  // namespace tilerush::board
