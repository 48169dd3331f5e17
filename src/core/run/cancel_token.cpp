#include "core/run/cancel_token.h"

namespace vdk {

void TCancelToken::Cancel(const std::function<void()>& cleanUp) {
  {
    std::lock_guard lock(mutex_);
    cancelled_.store(true, std::memory_order_release);
    if (hook_) hook_();
    if (cleanUp) cleanUp();
  }
  cv_.notify_all();
}

bool TCancelToken::SetCancelHook(std::function<void()> hook) {
  std::lock_guard lock(mutex_);
  if (Cancelled() && hook) return false;
  hook_ = std::move(hook);
  return true;
}

bool TCancelToken::Wait(const std::function<bool()>& done) {
  std::unique_lock lock(mutex_);
  while (!Cancelled() && !done()) {
    ++waiters_;
    cv_.wait(lock);
    --waiters_;
  }
  return !Cancelled();
}

int TCancelToken::Waiters() {
  std::lock_guard lock(mutex_);
  return waiters_;
}

void TCancelToken::Notify(const std::function<void()>& change) {
  {
    std::lock_guard lock(mutex_);
    change();
  }
  cv_.notify_all();
}

}  // namespace vdk
