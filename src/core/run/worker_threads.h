#pragma once

#include <chrono>
#include <functional>

namespace vdk {

// The threads that download workers run on, kept for reuse: creating and
// ending a thread for every work item cost more than fetching a small file.
// A job runs on an idle thread when there is one and on a new thread
// otherwise; a thread that has had no job for kIdleTimeout ends. Every thread
// is named "vdk-worker" and runs at the lowest ordinary priority (nice 19).
//
// Threads: Run and WaitForIdle may be called from any thread; the threads
// are detached and never joined.
class TWorkerThreads {
 public:
  static constexpr std::chrono::seconds kIdleTimeout{5};
  static constexpr int kNice = 19;

  // Starts job on a worker thread. Raises std::system_error when no thread
  // is idle and no new one can be created.
  static void Run(std::function<void()> job);

  // Waits until at least count threads wait for a job (for tests).
  static bool WaitForIdle(int count, std::chrono::steady_clock::duration timeout);
};

}  // namespace vdk
