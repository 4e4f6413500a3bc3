// The real tilerush-board binary on loopback, on a database in a folder of the test's,
// and a plain HTTP/1.1 client for it.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace tilerush::testing {

struct Answer {
  int status = 0;
  std::map<std::string, std::string> headers;  // names in lower case
  std::string body;
  nlohmann::json json() const { return nlohmann::json::parse(body, nullptr, false); }
};

class BoardProcess {
 public:
  // Starts the server on a free port; stopped with SIGTERM when it goes. Its database
  // is SQLite in `data`, or the PostgreSQL that TILERUSH_BOARD_DATABASE names.
  BoardProcess(const std::filesystem::path& data, std::vector<std::string> options = {});
  ~BoardProcess();
  BoardProcess(const BoardProcess&) = delete;
  BoardProcess& operator=(const BoardProcess&) = delete;

  int port() const { return port_; }
  // Stops the server with `signal` and returns its exit status (or 128 + the signal).
  int stop(int signal);

 private:
  pid_t pid_ = -1;
  int port_ = 0;
};

// A folder of its own under the system's temporary folder, removed with its contents.
struct TempFolder {
  TempFolder();
  ~TempFolder();
  std::filesystem::path path;
};

// One request on a connection of its own.
Answer request(int port, const std::string& method, const std::string& target, const std::string& body = {},
               const std::string& extraHeaders = "Content-Type: application/json\r\n");
// The body of a game sent to the board.
std::string gameBody(const std::string& name, const std::string& key, const std::string& replay);

// A connected socket, closed when it goes.
class Socket {
 public:
  explicit Socket(int port);
  ~Socket();
  Socket(Socket&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
  void send(const std::string& bytes) const;
  // Everything until the server closes; its answer, parsed.
  Answer receive() const;
  // Whether the server has closed the connection, waiting at most `ms`.
  bool closedWithin(int ms) const;

 private:
  int fd_ = -1;
};

}  // namespace tilerush::testing
