#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>

namespace vdk {

// The stop switch of one download worker, and the lock that orders the
// worker's visible steps (adding a link, creating, renaming or deleting a
// file, counting) against the stop's clean-up.
//
// Threads: the worker takes StepLock around each visible step and checks
// Cancelled inside it; Cancel (main thread) takes the same lock, so once
// Cancel returns no step is half done and none starts again. Waiters blocked
// on the token (a main-thread call the worker waits for) wake at once.
class TCancelToken {
 public:
  bool Cancelled() const { return cancelled_.load(std::memory_order_acquire); }

  // Sets the flag, runs the cancel hook (aborting a transfer) and the given
  // clean-up under the step lock, and wakes every waiter.
  void Cancel(const std::function<void()>& cleanUp = {});

  // A hook run by Cancel, under the step lock; cleared with an empty function.
  // Returns false (and installs nothing) when already cancelled.
  bool SetCancelHook(std::function<void()> hook);

  std::mutex& StepLock() { return mutex_; }

  // Waits until done() holds or the token is cancelled; false when cancelled.
  // done() is evaluated under the step lock.
  bool Wait(const std::function<bool()>& done);
  // Wakes waiters after the state they wait for changed (under the lock).
  void Notify(const std::function<void()>& change);
  // Threads blocked in Wait at the moment (tests use it to know that a
  // worker really waits before they stop it).
  int Waiters();

 private:
  std::mutex mutex_;
  std::condition_variable cv_;
  std::atomic<bool> cancelled_{false};
  std::function<void()> hook_;
  int waiters_ = 0;
};

}  // namespace vdk
