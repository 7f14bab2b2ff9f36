#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

namespace movara {

// A few worker threads for independent pieces of work (compressing the
// bitmaps of a movie). Submit blocks while `capacity` jobs wait or run, so
// the memory the jobs hold stays bounded; results come back as futures.
class TTaskPool {
 public:
  // threads 0 means one per core.
  explicit TTaskPool(unsigned threads = 0, unsigned capacity = 0);
  ~TTaskPool();
  TTaskPool(const TTaskPool&) = delete;
  TTaskPool& operator=(const TTaskPool&) = delete;

  template <class F>
  auto Submit(F&& work) -> std::shared_future<decltype(work())> {
    using R = decltype(work());
    auto task = std::make_shared<std::packaged_task<R()>>(std::forward<F>(work));
    std::shared_future<R> result = task->get_future().share();
    Enqueue([task] { (*task)(); });
    return result;
  }

  unsigned Threads() const { return static_cast<unsigned>(workers_.size()); }

 private:
  void Enqueue(std::function<void()> job);
  void Run();

  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable room_;
  std::deque<std::function<void()>> queue_;
  unsigned busy_ = 0;
  unsigned capacity_;
  bool stopping_ = false;
  std::vector<std::thread> workers_;
};

}  // namespace movara
