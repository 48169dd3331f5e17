#include "core/run/event_loop.h"

namespace vdk {

TEventLoop::TEventLoop() : owner_(std::this_thread::get_id()) {}

bool TEventLoop::Post(std::function<void()> fn) {
  {
    std::lock_guard lock(mutex_);
    queue_.push_back(std::move(fn));
  }
  cv_.notify_all();
  return true;
}

void TEventLoop::Wake() {
  {
    std::lock_guard lock(mutex_);
    woken_ = true;
  }
  cv_.notify_all();
}

bool TEventLoop::RunOne(std::unique_lock<std::mutex>& lock) {
  if (queue_.empty()) return false;
  std::function<void()> fn = std::move(queue_.front());
  queue_.pop_front();
  lock.unlock();
  fn();
  lock.lock();
  return true;
}

bool TEventLoop::TakeWake() {
  const bool woken = woken_;
  woken_ = false;
  return woken;
}

bool TEventLoop::ProcessUntil(const std::function<bool()>& done, Clock::time_point deadline) {
  std::unique_lock lock(mutex_);
  for (;;) {
    while (RunOne(lock)) {
      lock.unlock();
      const bool finished = done();
      lock.lock();
      if (finished) return true;
    }
    lock.unlock();
    if (done()) return true;
    lock.lock();
    if (TakeWake()) return false;
    if (!cv_.wait_until(lock, deadline, [&] { return !queue_.empty() || woken_; })) return false;
  }
}

void TEventLoop::ProcessFor(Clock::duration duration) {
  const auto deadline = Clock::now() + duration;
  std::unique_lock lock(mutex_);
  for (;;) {
    while (RunOne(lock)) {
    }
    if (TakeWake()) return;
    if (!cv_.wait_until(lock, deadline, [&] { return !queue_.empty() || woken_; })) break;
  }
  woken_ = false;
}

void TEventLoop::ProcessPending() {
  std::unique_lock lock(mutex_);
  for (std::size_t n = queue_.size(); n > 0 && RunOne(lock); --n) {
  }
}

}  // namespace vdk
