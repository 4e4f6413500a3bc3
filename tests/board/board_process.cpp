// Starting and stopping the server, and speaking HTTP to it over loopback.
#include "board_process.h"

#include <arpa/inet.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <stdexcept>

namespace tilerush::testing {

BoardProcess::BoardProcess(const std::filesystem::path& data, std::vector<std::string> options) {
  int out[2];
  if (pipe(out) != 0) throw std::runtime_error("no pipe");
  options.insert(options.begin(), {TILERUSH_BOARD_BINARY, "--port", "0", "--data", data.string()});
  // The same tests on PostgreSQL: run under pg_virtualenv, with this set.
  if (const char* database = std::getenv("TILERUSH_BOARD_DATABASE"); database && *database) {
    options.push_back("--database");
    options.push_back(database);
  }
  pid_ = fork();
  if (pid_ == 0) {
    // A test that dies leaves no server behind.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    dup2(out[1], STDOUT_FILENO);
    close(out[0]);
    close(out[1]);
    std::vector<char*> argv;
    for (std::string& option : options) argv.push_back(option.data());
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(out[1]);
  // Its first line names the port it took.
  std::string line;
  for (char c; line.find('\n') == std::string::npos && read(out[0], &c, 1) == 1;) line.push_back(c);
  close(out[0]);
  const std::size_t colon = line.rfind(':');
  if (colon == std::string::npos) throw std::runtime_error("the board did not start: " + line);
  port_ = std::atoi(line.c_str() + colon + 1);
}

BoardProcess::~BoardProcess() {
  if (pid_ > 0) stop(SIGTERM);
}

int BoardProcess::stop(int signal) {
  kill(pid_, signal);
  int status = 0;
  waitpid(pid_, &status, 0);
  pid_ = -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

TempFolder::TempFolder() {
  std::random_device random;
  path = std::filesystem::temp_directory_path() / ("tilerush-board-test-" + std::to_string(random()));
  std::filesystem::create_directories(path);
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path, ignored);
}

Socket::Socket(int port) {
  fd_ = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
    throw std::runtime_error("cannot connect to the board");
}

Socket::~Socket() {
  if (fd_ >= 0) close(fd_);
}

void Socket::send(const std::string& bytes) const {
  for (std::size_t sent = 0; sent < bytes.size();) {
    const ssize_t n = ::send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) return;  // the server may answer and close before the body is all sent
    sent += static_cast<std::size_t>(n);
  }
}

Answer Socket::receive() const {
  std::string text;
  char chunk[65536];
  for (ssize_t n; (n = recv(fd_, chunk, sizeof chunk, 0)) > 0;)
    text.append(chunk, static_cast<std::size_t>(n));
  Answer answer;
  const std::size_t end = text.find("\r\n\r\n");
  if (text.size() < 12 || end == std::string::npos) return answer;
  answer.status = std::atoi(text.c_str() + 9);
  std::size_t at = text.find("\r\n") + 2;
  while (at < end) {
    const std::size_t eol = text.find("\r\n", at);
    const std::string line = text.substr(at, eol - at);
    std::string name = line.substr(0, line.find(':'));
    for (char& c : name) c = static_cast<char>(std::tolower(c));
    answer.headers[name] = line.substr(line.find(':') + 2);
    at = eol + 2;
  }
  answer.body = text.substr(end + 4);
  return answer;
}

bool Socket::closedWithin(int ms) const {
  pollfd waiting{fd_, POLLIN, 0};
  if (poll(&waiting, 1, ms) <= 0) return false;
  char c;
  return recv(fd_, &c, 1, MSG_PEEK) <= 0;
}

Answer request(int port, const std::string& method, const std::string& target, const std::string& body,
               const std::string& extraHeaders) {
  Socket socket(port);
  socket.send(method + " " + target + " HTTP/1.1\r\nHost: board\r\nConnection: close\r\n" + extraHeaders +
              "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body);
  return socket.receive();
}

std::string gameBody(const std::string& name, const std::string& key, const std::string& replay) {
  return nlohmann::json{{"name", name}, {"key", key}, {"replay", replay}}.dump();
}

}  // namespace tilerush::testing
