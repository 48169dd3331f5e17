#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include "core/run/synchronize.h"

namespace vdk {

// The main thread's loop of the command-line runner and the tests: calls
// posted by workers wait in a queue until the thread that made the loop
// processes them.
// Threads: Post from any thread; the Process calls only on the owning thread.
class TEventLoop : public TSynchronizer {
 public:
  using Clock = std::chrono::steady_clock;

  TEventLoop();

  bool IsMainThread() const override { return std::this_thread::get_id() == owner_; }

  // Runs queued calls until done() holds (checked after every call), the
  // deadline passes or Wake is called; true when done() holds.
  bool ProcessUntil(const std::function<bool()>& done, Clock::time_point deadline = Clock::time_point::max());
  // Runs queued calls for a while, returning early once Wake is called.
  void ProcessFor(Clock::duration duration);
  // Runs whatever is queued now, without waiting.
  void ProcessPending();
  // Ends a ProcessFor or ProcessUntil wait early (from any thread); a Wake
  // since the previous one of them returned ends the next one at once.
  void Wake();

  bool Post(std::function<void()> fn) override;

 private:
  bool RunOne(std::unique_lock<std::mutex>& lock);
  // Reads and clears the wake flag (under the lock).
  bool TakeWake();

  std::thread::id owner_;
  std::mutex mutex_;
  std::condition_variable cv_;
  std::deque<std::function<void()>> queue_;
  bool woken_ = false;
};

}  // namespace vdk
