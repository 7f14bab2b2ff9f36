#include "base/TaskPool.h"

#include <algorithm>

namespace movara {

TTaskPool::TTaskPool(unsigned threads, unsigned capacity) {
  if (threads == 0) threads = std::max(1u, std::thread::hardware_concurrency());
  capacity_ = capacity == 0 ? 2 * threads : capacity;
  for (unsigned i = 0; i < threads; ++i) workers_.emplace_back([this] { Run(); });
}

TTaskPool::~TTaskPool() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  for (auto& w : workers_) w.join();
}

void TTaskPool::Enqueue(std::function<void()> job) {
  std::unique_lock lock(mutex_);
  room_.wait(lock, [this] { return queue_.size() + busy_ < capacity_; });
  queue_.push_back(std::move(job));
  lock.unlock();
  wake_.notify_one();
}

void TTaskPool::Run() {
  for (;;) {
    std::function<void()> job;
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
      if (queue_.empty()) return;
      job = std::move(queue_.front());
      queue_.pop_front();
      ++busy_;
    }
    job();  // a packaged task keeps its exception for the future
    {
      std::lock_guard lock(mutex_);
      --busy_;
    }
    room_.notify_one();
  }
}

}  // namespace movara
