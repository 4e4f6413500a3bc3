// tilerush-board-load: a bounded load on a board, for measuring it. Makes N distinct
// games of the automatic player first, then sends them over C keep-alive connections
// and reports entries a second and the median and 99th-percentile answer times. Given
// several ports (several servers on one database), the connections take them in turn;
// given the servers' process ids, it reports the CPU they spent on each entry.
//   tilerush-board-load --port P [--port P2 ...] [--connections 32] [--games 20000]
//                       [--minutes 5] [--seed 1] [--acknowledged FILE] [--server-pid PID ...]
#include <algorithm>
#include <atomic>
#include <boost/asio/connect.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <chrono>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <mutex>
#include <nlohmann/json.hpp>
#include <sstream>
#include <thread>

#include "game/form1.h"
#include "sim/autoplay.h"
#include "sim/recorder.h"

namespace {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using Clock = std::chrono::steady_clock;

struct Settings {
  std::string host = "127.0.0.1";
  std::vector<std::string> ports;
  std::vector<int> serverPids;
  int connections = 32;
  int games = 20'000;
  std::int64_t minutes = 5;
  std::uint64_t seed = 1;
  std::string acknowledged;
};

// One game of the automatic player, ended at "Game Over" or after `ms`.
std::string autoplayed(std::uint64_t seed, std::int64_t ms) {
  tilerush::Session session([] { return 1; });
  std::string lines;
  const auto collect = [&](std::string_view line) { lines += line; };
  tilerush::sim::Recorder recorder(session, collect, "load", "today");
  session.setInputLog(&recorder);
  session.fixSeed(seed);
  session.open();
  tilerush::sim::Autoplayer player(session);
  while (session.now() < ms && !session.form().element(tilerush::ButtonId::GameOver).visible())
    player.play(25);
  return lines + recorder.closing();
}

std::vector<std::string> makeGames(const Settings& settings) {
  std::vector<std::string> games(static_cast<std::size_t>(settings.games));
  std::atomic<std::size_t> next{0};
  std::vector<std::thread> makers;
  for (unsigned t = 0; t < std::max(1u, std::thread::hardware_concurrency()); ++t) {
    makers.emplace_back([&] {
      for (std::size_t i; (i = next++) < games.size();)
        games[i] = autoplayed(settings.seed + i, settings.minutes * 60'000);
    });
  }
  for (std::thread& maker : makers) maker.join();
  return games;
}

struct Tally {
  std::mutex mutex;
  std::vector<double> millis;
  std::map<unsigned, int> statuses;
  std::vector<std::int64_t> ids;
};

void send(const Settings& settings, const std::vector<std::string>& games, std::atomic<std::size_t>& next,
          int who, Tally& tally) {
  asio::io_context io;
  beast::tcp_stream stream(io);
  const std::string& port = settings.ports[static_cast<std::size_t>(who) % settings.ports.size()];
  stream.connect(asio::ip::tcp::resolver(io).resolve(settings.host, port));
  const std::string key = std::string(24, 'k') + std::to_string(100000000 + who);
  beast::flat_buffer buffer;
  for (std::size_t i; (i = next++) < games.size();) {
    http::request<http::string_body> request{http::verb::post, "/api/v1/games", 11};
    request.set(http::field::host, settings.host);
    request.set(http::field::content_type, "application/json");
    request.body() =
        nlohmann::json{{"name", "load " + std::to_string(who)}, {"key", key}, {"replay", games[i]}}.dump();
    request.prepare_payload();
    const auto start = Clock::now();
    http::write(stream, request);
    http::response<http::string_body> answer;
    http::read(stream, buffer, answer);
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    std::lock_guard lock(tally.mutex);
    tally.millis.push_back(ms);
    ++tally.statuses[answer.result_int()];
    if (answer.result_int() == 201)
      tally.ids.push_back(nlohmann::json::parse(answer.body())["id"]);
    else if (tally.statuses[answer.result_int()] <= 3)
      std::cerr << answer.result_int() << " " << answer.body();
  }
}

Settings parse(int argc, char** argv) {
  Settings settings;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string option = argv[i], value = argv[i + 1];
    if (option == "--host")
      settings.host = value;
    else if (option == "--port")
      settings.ports.push_back(value);
    else if (option == "--server-pid")
      settings.serverPids.push_back(std::stoi(value));
    else if (option == "--connections")
      settings.connections = std::stoi(value);
    else if (option == "--games")
      settings.games = std::stoi(value);
    else if (option == "--minutes")
      settings.minutes = std::stoll(value);
    else if (option == "--seed")
      settings.seed = std::stoull(value);
    else if (option == "--acknowledged")
      settings.acknowledged = value;
    else
      throw std::runtime_error("unknown option " + option);
  }
  if (settings.ports.empty()) throw std::runtime_error("--port is needed");
  return settings;
}

// The CPU (user and system) the processes have used, in seconds; 0 for none given.
double cpuSeconds(const std::vector<int>& pids) {
  double ticks = 0;
  for (int pid : pids) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    // Fields after the command's closing parenthesis: state is the 3rd, utime the 14th.
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::string field;
    for (int i = 3; i <= 13; ++i) fields >> field;
    double user = 0, system = 0;
    if (!(fields >> user >> system))
      throw std::runtime_error("cannot read the CPU of process " + std::to_string(pid));
    ticks += user + system;
  }
  // /proc counts in USER_HZ, which Linux keeps at 100 whatever the kernel's own tick.
  return ticks / 100.0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    const Settings settings = parse(argc, argv);
    const auto making = Clock::now();
    const std::vector<std::string> games = makeGames(settings);
    std::cout << "made " << games.size() << " games in "
              << std::chrono::duration<double>(Clock::now() - making).count() << " s\n";
    Tally tally;
    std::atomic<std::size_t> next{0};
    const double cpuBefore = cpuSeconds(settings.serverPids);
    const auto start = Clock::now();
    std::vector<std::thread> senders;
    senders.reserve(static_cast<std::size_t>(settings.connections));
    for (int c = 0; c < settings.connections; ++c)
      senders.emplace_back([&, c] {
        try {
          send(settings, games, next, c, tally);
        } catch (const std::exception& e) {
          std::cerr << "connection " << c << ": " << e.what() << "\n";
        }
      });
    for (std::thread& sender : senders) sender.join();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    const double cpu = cpuSeconds(settings.serverPids) - cpuBefore;
    std::sort(tally.millis.begin(), tally.millis.end());
    const auto at = [&](double q) {
      return tally.millis.empty() ? 0 : tally.millis[static_cast<std::size_t>(q * (tally.millis.size() - 1))];
    };
    std::cout << tally.millis.size() << " answers in " << seconds << " s: " << tally.millis.size() / seconds
              << " a second; median " << at(0.5) << " ms, 99th percentile " << at(0.99) << " ms\n";
    for (const auto& [status, count] : tally.statuses) std::cout << "  " << status << ": " << count << "\n";
    if (!settings.serverPids.empty() && !tally.millis.empty()) {
      std::cout << "server CPU " << cpu << " s: " << 1000 * cpu / static_cast<double>(tally.millis.size())
                << " ms an entry\n";
    }
    if (!settings.acknowledged.empty()) {
      std::ofstream out(settings.acknowledged);
      for (std::int64_t id : tally.ids) out << id << "\n";
    }
    return 0;
  } catch (const std::exception& e) {
    std::cerr << "tilerush-board-load: " << e.what() << "\n";
    return 2;
  }
}
