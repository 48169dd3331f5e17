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
// processes them. Gathered calls wait up to kGatherTime for company, so that
// a crawl's log lines and ended passes wake the thread about once per
// kGatherTime instead of once per call; a Post or Hurry runs the queue at once.
// Threads: Post from any thread; the Process calls only on the owning thread.
class TEventLoop : public TSynchronizer {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr auto kGatherTime = std::chrono::milliseconds(2);

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
  bool PostGathered(std::function<void()> fn) override;
  void Hurry() override;

 private:
  // Runs the first queued call, if any; forgets the hurry and the gathering
  // time once the queue is empty.
  bool RunOne(std::unique_lock<std::mutex>& lock);
  // Reads and clears the wake flag (under the lock).
  bool TakeWake();
  // Waits until calls are due or Wake is called (true), or the deadline
  // passes (false).
  bool WaitForWork(std::unique_lock<std::mutex>& lock, Clock::time_point deadline);

  std::thread::id owner_;
  std::mutex mutex_;
  std::condition_variable cv_;
  std::deque<std::function<void()>> queue_;
  bool woken_ = false;
  bool hurry_ = false;                           // the queue is to run at once
  Clock::time_point gatherDue_ = Clock::time_point::max();  // when the first gathered call is due
};

}  // namespace vdk
