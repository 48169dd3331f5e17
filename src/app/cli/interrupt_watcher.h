#pragma once

#include <signal.h>

#include <atomic>
#include <functional>
#include <thread>

namespace vdk::cli {

// Turns Ctrl-C (SIGINT) and SIGTERM into a call on a thread of its own: the
// signals are blocked in the calling thread and every thread it starts later,
// and a watcher thread waits for them. The first signal calls onSignal; a
// second one ends the program at once with exit code 130. The destructor
// restores the calling thread's signal mask.
class TInterruptWatcher {
 public:
  explicit TInterruptWatcher(std::function<void()> onSignal);
  ~TInterruptWatcher();
  TInterruptWatcher(const TInterruptWatcher&) = delete;
  TInterruptWatcher& operator=(const TInterruptWatcher&) = delete;

  bool Interrupted() const { return interrupted_; }

 private:
  std::function<void()> onSignal_;
  std::atomic<bool> interrupted_{false};
  sigset_t previousMask_;
  std::thread thread_;
};

}  // namespace vdk::cli
