#include "app/cli/interrupt_watcher.h"

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

namespace vdk::cli {
namespace {

// SIGUSR1 only tells the watcher to end.
sigset_t WatchedSignals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  sigaddset(&set, SIGUSR1);
  return set;
}

}  // namespace

TInterruptWatcher::TInterruptWatcher(std::function<void()> onSignal) : onSignal_(std::move(onSignal)) {
  const sigset_t set = WatchedSignals();
  ::pthread_sigmask(SIG_BLOCK, &set, &previousMask_);
  thread_ = std::thread([this, set] {
    ::pthread_setname_np(::pthread_self(), "vdk-signals");
    for (;;) {
      int signal = 0;
      if (::sigwait(&set, &signal) != 0 || signal == SIGUSR1) return;
      if (interrupted_.exchange(true)) ::_exit(130);
      onSignal_();
    }
  });
}

TInterruptWatcher::~TInterruptWatcher() {
  ::pthread_kill(thread_.native_handle(), SIGUSR1);
  thread_.join();
  ::pthread_sigmask(SIG_SETMASK, &previousMask_, nullptr);
}

}  // namespace vdk::cli
