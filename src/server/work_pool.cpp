// A fixed set of threads taking jobs in the order they came.
#include "server/work_pool.h"

namespace tilerush::board {

WorkPool::WorkPool(int threads, std::size_t longestQueue) : longestQueue_(longestQueue) {
  for (int i = 0; i < threads; ++i) threads_.emplace_back([this] { work(); });
}

bool WorkPool::tryPost(std::function<void()> job) {
  {
    std::lock_guard lock(mutex_);
    if (closing_ || jobs_.size() >= longestQueue_) return false;
    jobs_.push_back(std::move(job));
  }
  ready_.notify_one();
  return true;
}

void WorkPool::finish() {
  {
    std::lock_guard lock(mutex_);
    closing_ = true;
  }
  ready_.notify_all();
  for (std::thread& thread : threads_) {
    if (thread.joinable()) thread.join();
  }
}

void WorkPool::work() {
  for (;;) {
    std::function<void()> job;
    {
      std::unique_lock lock(mutex_);
      ready_.wait(lock, [this] { return closing_ || !jobs_.empty(); });
      if (jobs_.empty()) return;
      job = std::move(jobs_.front());
      jobs_.pop_front();
    }
    job();
  }
}

}  // namespace tilerush::board
