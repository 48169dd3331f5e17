#include "library/add_image_thread_list.h"

#include <algorithm>
#include <thread>

#include "library/add_image.h"

namespace vdk {

TAddImageThreadList::TAddImageThreadList(TImageLibrary& library, int workers)
    : TAddImageThreadList([&library](const std::string& path,
                                     std::stop_token stop) { AddImageToLibrary(library, path, std::move(stop)); },
                          workers) {}

TAddImageThreadList::TAddImageThreadList(Work work, int workers, std::size_t queueLimit)
    : work_(std::move(work)), queueLimit_(queueLimit) {
  for (int i = 0; i < std::max(workers, 1); ++i)
    threads_.push_back(std::make_unique<TAddImageThread>(*this, stopSource_.get_token()));
}

TAddImageThreadList::~TAddImageThreadList() {
  Stop();
  threads_.clear();
}

int TAddImageThreadList::DefaultWorkers() {
  return static_cast<int>(std::clamp(std::thread::hardware_concurrency() / 2, 1u, 4u));
}

bool TAddImageThreadList::Queue(const std::string& path) {
  {
    std::lock_guard guard(lock_);
    if (stopSource_.stop_requested() || queue_.size() >= queueLimit_) return false;
    queue_.push_back(path);
  }
  available_.notify_one();
  return true;
}

void TAddImageThreadList::Stop() {
  std::deque<std::string> dropped;
  {
    std::lock_guard guard(lock_);
    stopSource_.request_stop();
    dropped.swap(queue_);
  }
  available_.notify_all();
  idle_.notify_all();
}

void TAddImageThreadList::WaitUntilIdle() {
  std::unique_lock guard(lock_);
  idle_.wait(guard, [this] { return stopSource_.stop_requested() || (queue_.empty() && busy_ == 0); });
}

bool TAddImageThreadList::Take(std::string& path, std::stop_token stop) {
  std::unique_lock guard(lock_);
  if (!available_.wait(guard, stop, [this] { return !queue_.empty(); })) return false;
  path = std::move(queue_.front());
  queue_.pop_front();
  ++busy_;
  return true;
}

void TAddImageThreadList::Finished() {
  {
    std::lock_guard guard(lock_);
    --busy_;
  }
  idle_.notify_all();
}

}  // namespace vdk
