// tilerush-board: the score board's server, or with --remove the operator's tool.
#include <boost/asio/executor_work_guard.hpp>
#include <boost/asio/signal_set.hpp>
#include <csignal>
#include <future>
#include <iostream>
#include <thread>

#include "server/api.h"
#include "server/http_server.h"
#include "server/options.h"
#include "server/postgres_storage.h"
#include "server/sqlite_storage.h"
#include "version.h"

namespace {

namespace asio = boost::asio;
using namespace tilerush::board;

// Threads that read and write connections; the checks have the pool's threads.
constexpr int kConnectionThreads = 2;

// PostgreSQL when given one, a connection for each worker and one for --remove;
// otherwise SQLite in the data folder.
std::unique_ptr<Storage> openStorage(const Options& options) {
  if (options.database) return std::make_unique<PostgresStorage>(*options.database, options.workers + 1);
  std::filesystem::create_directories(options.data);
  return std::make_unique<SqliteStorage>(options.data / "board.sqlite");
}

int removeGame(Storage& storage, std::int64_t id) {
  if (!storage.remove(id)) {
    std::cerr << "tilerush-board: there is no game " << id << " on the board\n";
    return 1;
  }
  std::cout << "tilerush-board: game " << id << " is removed from the board\n";
  return 0;
}

// Serves until SIGTERM or SIGINT; then takes nothing new, answers what it took, and returns.
int serve(const Options& options, Storage& storage) {
  std::optional<StaticSite> site;
  std::optional<asio::ip::address> proxy;
  boost::system::error_code error;
  const asio::ip::address listen = asio::ip::make_address(options.listen, error);
  if (error) throw std::runtime_error("--listen takes an IP address, not '" + options.listen + "'");
  if (options.trustedProxy) {
    proxy = asio::ip::make_address(*options.trustedProxy, error);
    if (error)
      throw std::runtime_error("--trusted-proxy takes an IP address, not '" + *options.trustedProxy + "'");
  }
  if (options.site) {
    if (!std::filesystem::is_directory(*options.site))
      throw std::runtime_error("--site names no folder: " + options.site->string());
    site.emplace(*options.site);
  }
  asio::io_context io;
  WorkPool pool(options.workers, options.queue);
  Limiter limiter(options.allowance);
  Api api(storage, pool, limiter, std::move(site));
  HttpServer server(io, {listen, options.port}, api, options.limits, proxy);
  server.start();
  std::promise<void> stopping;
  asio::signal_set signals(io, SIGTERM, SIGINT);
  signals.async_wait([&](boost::system::error_code, int) {
    server.stop();
    stopping.set_value();
  });
  auto work = asio::make_work_guard(io);
  std::vector<std::thread> threads;
  threads.reserve(kConnectionThreads);
  for (int i = 0; i < kConnectionThreads; ++i) threads.emplace_back([&io] { io.run(); });
  const std::string host = listen.is_v6() ? "[" + listen.to_string() + "]" : listen.to_string();
  std::cout << "tilerush-board: serving http://" << host << ":" << server.port() << "/ with its data in "
            << (options.database ? "PostgreSQL" : options.data.string()) << std::endl;
  stopping.get_future().wait();
  // The checks already queued are carried out and answered before the threads end.
  pool.finish();
  work.reset();
  for (std::thread& thread : threads) thread.join();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  tilerush::Result<Options> options = parseOptions(std::vector<std::string>(argv + 1, argv + argc));
  if (!options) {
    std::cerr << "tilerush-board: " << options.error() << "\n" << kUsage;
    return 2;
  }
  if (options.value().help) {
    std::cout << kUsage;
    return 0;
  }
  if (options.value().version) {
    std::cout << "tilerush-board " << tilerush::kVersion << "\n";
    return 0;
  }
  try {
    const std::unique_ptr<Storage> storage = openStorage(options.value());
    if (options.value().remove) return removeGame(*storage, *options.value().remove);
    return serve(options.value(), *storage);
  } catch (const std::exception& e) {
    std::cerr << "tilerush-board: " << e.what() << "\n";
    return 1;
  }
}
