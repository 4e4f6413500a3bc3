// The threads that check games and talk to the database, apart from those that serve
// connections, with a bounded queue: a flood of games waits here or is turned away,
// and never holds a connection's thread.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace tilerush::board {

class WorkPool {
 public:
  WorkPool(int threads, std::size_t longestQueue);
  WorkPool(const WorkPool&) = delete;
  WorkPool& operator=(const WorkPool&) = delete;
  ~WorkPool() { finish(); }

  // Queues the job; false, and the job dropped, when the queue is full or closing.
  bool tryPost(std::function<void()> job);
  // Takes no more jobs, carries out those queued, and returns when all are done.
  void finish();

 private:
  void work();

  std::size_t longestQueue_;
  std::mutex mutex_;
  std::condition_variable ready_;
  std::deque<std::function<void()>> jobs_;
  bool closing_ = false;
  std::vector<std::thread> threads_;
};

}  // namespace tilerush::board
