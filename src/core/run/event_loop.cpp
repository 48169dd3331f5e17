#include "core/run/event_loop.h"

#include <algorithm>

namespace vdk {

TEventLoop::TEventLoop() : owner_(std::this_thread::get_id()) {}

bool TEventLoop::Post(std::function<void()> fn) {
  {
    std::lock_guard lock(mutex_);
    queue_.push_back(std::move(fn));
    hurry_ = true;
  }
  cv_.notify_all();
  return true;
}

bool TEventLoop::PostGathered(std::function<void()> fn) {
  bool first = false;
  {
    std::lock_guard lock(mutex_);
    queue_.push_back(std::move(fn));
    first = gatherDue_ == Clock::time_point::max();
    if (first) gatherDue_ = Clock::now() + kGatherTime;
  }
  // A waiting loop learns how long it may still wait.
  if (first) cv_.notify_all();
  return true;
}

void TEventLoop::Hurry() {
  {
    std::lock_guard lock(mutex_);
    hurry_ = true;
  }
  cv_.notify_all();
}

void TEventLoop::Wake() {
  {
    std::lock_guard lock(mutex_);
    woken_ = true;
  }
  cv_.notify_all();
}

bool TEventLoop::RunOne(std::unique_lock<std::mutex>& lock) {
  if (queue_.empty()) {
    hurry_ = false;
    gatherDue_ = Clock::time_point::max();
    return false;
  }
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

bool TEventLoop::WaitForWork(std::unique_lock<std::mutex>& lock, Clock::time_point deadline) {
  for (;;) {
    const auto now = Clock::now();
    if (woken_ || (!queue_.empty() && (hurry_ || now >= gatherDue_))) return true;
    if (now >= deadline) return false;
    cv_.wait_until(lock, std::min(deadline, gatherDue_));
  }
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
    if (!WaitForWork(lock, deadline)) return false;
  }
}

void TEventLoop::ProcessFor(Clock::duration duration) {
  const auto deadline = Clock::now() + duration;
  std::unique_lock lock(mutex_);
  for (;;) {
    while (RunOne(lock)) {
    }
    if (TakeWake()) return;
    if (!WaitForWork(lock, deadline)) break;
  }
  woken_ = false;
}

void TEventLoop::ProcessPending() {
  std::unique_lock lock(mutex_);
  for (std::size_t n = queue_.size(); n > 0 && RunOne(lock); --n) {
  }
}

}  // namespace vdk
