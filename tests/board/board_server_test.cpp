// The real tilerush-board on loopback: games ranked with the score the core finds, one
// game one entry, names bound to keys, every limit said in words, idle and hostile
// clients, and nothing acknowledged lost to a SIGKILL.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <mutex>
#include <set>
#include <sstream>
#include <thread>

#include "board_games.h"
#include "board_process.h"
#include "kept/challenge.h"
#include "links/replay_link.h"
#include "proof/check.h"
#include "sim/runner.h"

namespace tilerush::testing {
namespace {

const std::string kAnnKey(32, 'a');
const std::string kBobKey(32, 'b');
// No input: a game of no score, distinct by its seed.
std::string idleGame(std::uint64_t seed) { return "seed " + std::to_string(seed) + "\nopen\nadvance 1000\n"; }

Answer postGame(int port, const std::string& name, const std::string& key, const std::string& replay) {
  return request(port, "POST", "/api/v1/games", gameBody(name, key, replay));
}

TEST(Board, GamesAreRankedWithTheCoresScoreAndOneGameIsOneEntry) {
  TempFolder data;
  BoardProcess board(data.path);
  EXPECT_EQ(request(board.port(), "GET", "/api/v1/").json(),
            (nlohmann::json{{"service", "tilerush-board"}, {"api", 1}}));

  const std::string best = autoplayedGame(3, 120'000), worse = autoplayedGame(4, 20'000);
  const std::int64_t bestScore = proof::proveGame(best).value().score;
  ASSERT_GT(bestScore, proof::proveGame(worse).value().score);
  Answer first = postGame(board.port(), "Ann", kAnnKey, worse);
  ASSERT_EQ(first.status, 201) << first.body;
  EXPECT_EQ(first.json()["rank"], 1);
  Answer second = postGame(board.port(), "Bob", kBobKey, "# from Bob's window\n" + best);
  ASSERT_EQ(second.status, 201) << second.body;
  EXPECT_EQ(second.json()["score"], bestScore);
  EXPECT_EQ(second.json()["rank"], 1);
  EXPECT_EQ(second.json()["board"], "all-time");
  // Two games of one score: the earlier ranks first.
  ASSERT_EQ(postGame(board.port(), "Ann", kAnnKey, idleGame(10)).status, 201);
  ASSERT_EQ(postGame(board.port(), "bob", kBobKey, idleGame(11)).json()["rank"], 4);

  // The same game again: its owner is told where it stands; anyone else, even as a link, is refused.
  Answer again = postGame(board.port(), "Bob", kBobKey, replayLink(best).substr(1));
  EXPECT_EQ(again.status, 200) << again.body;
  EXPECT_EQ(again.json()["id"], second.json()["id"]);
  EXPECT_EQ(postGame(board.port(), "Cy", std::string(32, 'c'), best).status, 409);
  // A name is its first key's, whatever its case.
  Answer stolen = postGame(board.port(), " ANN ", kBobKey, idleGame(12));
  EXPECT_EQ(stolen.status, 409);
  EXPECT_NE(stolen.json()["error"].get<std::string>().find("name"), std::string::npos);

  Answer all = request(board.port(), "GET", "/api/v1/boards/all-time?name=ann");
  ASSERT_EQ(all.status, 200);
  EXPECT_NE(all.headers["cache-control"].find("max-age"), std::string::npos);
  const nlohmann::json entries = all.json()["entries"];
  ASSERT_EQ(entries.size(), 4u);
  EXPECT_EQ(entries[0]["name"], "Bob");
  EXPECT_EQ(entries[0]["score"], bestScore);
  EXPECT_EQ(entries[2]["name"], "Ann");
  EXPECT_EQ(entries[2]["score"], entries[3]["score"]);
  EXPECT_LT(entries[2]["id"], entries[3]["id"]);
  EXPECT_EQ(all.json()["player"]["rank"], 2);

  // The board's own replay of an entry holds in tilerush-sim, with no comment of the sender's.
  Answer stored = request(board.port(), "GET", "/api/v1/games/" + to_string(second.json()["id"]));
  ASSERT_EQ(stored.status, 200);
  const std::string replay = stored.json()["replay"];
  EXPECT_EQ(replay.find("Bob's window"), std::string::npos);
  std::istringstream script(replay);
  std::ostringstream out, err;
  EXPECT_EQ(sim::runScript(script, out, err), 0) << err.str();
  EXPECT_EQ(request(board.port(), "GET", "/api/v1/games/999").status, 404);

  // Today's challenge goes on today's board.
  const kept::Day today = kept::dayInUtc(std::chrono::system_clock::now());
  Answer challenge = postGame(board.port(), "Ann", kAnnKey, idleGame(kept::challengeSeed(today)));
  ASSERT_EQ(challenge.status, 201) << challenge.body;
  EXPECT_EQ(challenge.json()["board"], "day/" + kept::dayText(today));
  EXPECT_EQ(request(board.port(), "GET", "/api/v1/boards/today").json()["entries"].size(), 1u);
  EXPECT_EQ(
      request(board.port(), "GET", "/api/v1/boards/day/" + kept::dayText(today)).json()["entries"][0]["id"],
      challenge.json()["id"]);
}

TEST(Board, EveryRefusalAndLimitIsAnsweredInOneSentence) {
  TempFolder data;
  BoardProcess board(data.path, {"--games-per-minute", "12"});
  const std::string game = autoplayedGame(5, 10'000);
  const std::string inflating = replayLink("seed 1\nopen\n" + std::string(17 << 20, '\n')).substr(1);
  ASSERT_LT(inflating.size(), 40'000u);
  const std::string edited = game.substr(0, game.rfind("expect ball.top")) + "expect ball.top 1\n";
  const std::pair<Answer, int> answers[] = {
      {postGame(board.port(), "Ann", kAnnKey, "seed 1\nopen\nset points 99999\n"), 422},
      {postGame(board.port(), "Ann", kAnnKey, "open\nadvance 10\n"), 422},
      {postGame(board.port(), "Ann", kAnnKey, edited), 422},
      {postGame(board.port(), "Ann", kAnnKey, inflating), 413},
      {postGame(board.port(), "", kAnnKey, game), 422},
      {postGame(board.port(), "Ann", "short", game), 422},
      {request(board.port(), "POST", "/api/v1/games", gameBody("Ann", kAnnKey, game),
               "Content-Type: text/plain\r\n"),
       415},
      {request(board.port(), "POST", "/api/v1/games", gameBody("Ann", kAnnKey, game),
               "Content-Type: application/json\r\nContent-Encoding: gzip\r\n"),
       415},
      {request(board.port(), "POST", "/api/v1/games", gameBody("Ann", kAnnKey, std::string(3 << 20, '#'))),
       413},
      {request(board.port(), "POST", "/api/v1/games", "not json"), 400},
  };
  for (const auto& [answer, status] : answers) {
    EXPECT_EQ(answer.status, status) << answer.body;
    const std::string why = answer.json().value("error", "");
    EXPECT_FALSE(why.empty()) << answer.body;
    EXPECT_EQ(why.find('\n'), std::string::npos);
  }
  // Twelve games a minute from one address: the rest wait, told for how long.
  Answer limited;
  for (int i = 0; i < 12 && limited.status != 429; ++i)
    limited = postGame(board.port(), "Ann", kAnnKey, idleGame(i));
  EXPECT_EQ(limited.status, 429);
  EXPECT_GT(std::stoi(limited.headers["retry-after"]), 0);
}

TEST(Board, BehindItsProxyEachClientCountsByItsAddressAndIPv6ByItsSlash64) {
  TempFolder data;
  BoardProcess board(data.path, {"--games-per-minute", "1", "--trusted-proxy", "127.0.0.1"});
  const auto from = [&](const std::string& address, std::uint64_t seed) {
    return request(board.port(), "POST", "/api/v1/games", gameBody("Ann", kAnnKey, idleGame(seed)),
                   "Content-Type: application/json\r\nX-Forwarded-For: 198.51.100.7, " + address + "\r\n")
        .status;
  };
  EXPECT_EQ(from("2001:db8:0:1::1", 1), 201);
  EXPECT_EQ(from("2001:db8:0:1:ffff::2", 2), 429) << "the same /64";
  EXPECT_EQ(from("2001:db8:0:2::1", 3), 201);
  EXPECT_EQ(from("203.0.113.9", 4), 201);
  EXPECT_EQ(from("::ffff:203.0.113.9", 5), 429) << "the same IPv4 address";
}

TEST(Board, AFullQueueIsTurnedAwayAndIdleClientsHoldNothing) {
  TempFolder data;
  BoardProcess board(data.path, {"--workers", "1", "--queue", "1", "--timeout", "2",
                                 "--connections-per-address", "45", "--games-per-minute", "100000"});
  // Thirty clients that connect and send nothing, one that sends half a header.
  std::vector<Socket> idle;
  for (int i = 0; i < 30; ++i) idle.emplace_back(board.port());
  idle.back().send("GET /api/v1/ HTTP/1.1\r\nHo");
  const auto started = std::chrono::steady_clock::now();
  EXPECT_EQ(request(board.port(), "GET", "/api/v1/").status, 200);
  EXPECT_EQ(postGame(board.port(), "Ann", kAnnKey, idleGame(1)).status, 201);
  // Well before the idle ones' deadline, however busy the machine.
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(1500));
  // Past the bound on one address's connections, one is closed at once.
  std::vector<Socket> more;
  for (int i = 0; i < 20; ++i) more.emplace_back(board.port());
  EXPECT_TRUE(more.back().closedWithin(1000));
  // The idle ones are closed at their deadline.
  for (const Socket& socket : idle) EXPECT_TRUE(socket.closedWithin(4000));

  // Ten hour-long games at once, one worker, a queue of one: some are told to come back.
  const std::string hour = autoplayedGame(6, 3'600'000);
  std::vector<Socket> senders;
  for (int i = 0; i < 10; ++i) {
    senders.emplace_back(board.port());
    const std::string body = gameBody("Ann", kAnnKey, "# sent " + std::to_string(i) + "\n" + hour);
    senders.back().send(
        "POST /api/v1/games HTTP/1.1\r\nHost: b\r\nConnection: close\r\nContent-Type: "
        "application/json\r\nContent-Length: " +
        std::to_string(body.size()) + "\r\n\r\n" + body);
  }
  std::multiset<int> statuses;
  for (const Socket& sender : senders) {
    const Answer answer = sender.receive();
    statuses.insert(answer.status);
    if (answer.status == 503) {
      EXPECT_EQ(answer.headers.count("retry-after"), 1u);
    }
  }
  // One game, sent ten times: the first taken is an entry, the others taken are it again.
  EXPECT_GE(statuses.count(503), 1u);
  EXPECT_EQ(statuses.count(201), 1u);
  EXPECT_EQ(statuses.count(201) + statuses.count(200) + statuses.count(503), 10u);
}

TEST(Board, AnEntryAcknowledgedIsKeptThroughASigkillAndTwoServersShareOneDatabase) {
  TempFolder data;
  std::vector<std::int64_t> acknowledged;
  std::mutex mutex;
  {
    BoardProcess board(data.path, {"--games-per-minute", "100000"});
    std::atomic<bool> sending{true};
    std::vector<std::thread> senders;
    for (int t = 0; t < 4; ++t) {
      senders.emplace_back([&, t] {
        for (std::uint64_t seed = 1000 * t; sending; ++seed) {
          try {
            const Answer answer = postGame(board.port(), "Ann", kAnnKey, idleGame(seed));
            std::lock_guard lock(mutex);
            if (answer.status == 201) acknowledged.push_back(answer.json()["id"]);
          } catch (const std::exception&) {
            return;  // the server is gone
          }
        }
      });
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(800));
    EXPECT_EQ(board.stop(SIGKILL), 128 + SIGKILL);
    sending = false;
    for (std::thread& sender : senders) sender.join();
  }
  ASSERT_GT(acknowledged.size(), 10u);
  BoardProcess first(data.path), second(data.path);
  for (std::int64_t id : acknowledged)
    ASSERT_EQ(request(first.port(), "GET", "/api/v1/games/" + std::to_string(id)).status, 200) << id;

  // Two servers race to bind one name to two keys: one wins, on both servers' word.
  Answer a, b;
  std::thread racer([&] { a = postGame(first.port(), "Dee", std::string(32, 'd'), idleGame(999'001)); });
  b = postGame(second.port(), "DEE", std::string(32, 'e'), idleGame(999'002));
  racer.join();
  EXPECT_EQ((std::multiset<int>{a.status, b.status}), (std::multiset<int>{201, 409}));
  EXPECT_EQ(request(first.port(), "GET", "/api/v1/boards/all-time").body,
            request(second.port(), "GET", "/api/v1/boards/all-time").body);
  // SIGTERM ends it cleanly.
  EXPECT_EQ(first.stop(SIGTERM), 0);
}

TEST(Board, TheSiteIsServedWithItsHeadersAndNothingOutsideIt) {
  TempFolder data;
  std::filesystem::create_directories(data.path / "site/v");
  std::ofstream(data.path / "site/index.html") << "<!doctype html>";
  std::ofstream(data.path / "secret.txt") << "secret";
  std::filesystem::create_symlink(data.path / "secret.txt", data.path / "site/v/link.txt");
  BoardProcess board(data.path / "db", {"--site", (data.path / "site").string()});
  const Answer page = request(board.port(), "GET", "/");
  EXPECT_EQ(page.status, 200);
  EXPECT_EQ(page.body, "<!doctype html>");
  EXPECT_EQ(page.headers.at("content-type"), "text/html; charset=utf-8");
  EXPECT_NE(page.headers.at("content-security-policy").find("frame-ancestors 'none'"), std::string::npos);
  EXPECT_EQ(page.headers.at("x-content-type-options"), "nosniff");
  for (const char* outside : {"/../secret.txt", "/%2e%2e/secret.txt", "/v/..%2f..%2fsecret.txt",
                              "/v/link.txt", "/%2e%2e%2fsecret.txt", "//secret.txt", "/v/%00"}) {
    const Answer answer = request(board.port(), "GET", outside);
    EXPECT_NE(answer.status, 200) << outside;
    EXPECT_EQ(answer.body.find("secret"), std::string::npos) << outside;
  }
  EXPECT_EQ(request(board.port(), "GET", "/api/v1/").status, 200);
}

}  // namespace
}  // namespace tilerush::testing
