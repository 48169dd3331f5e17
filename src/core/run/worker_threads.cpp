#include "core/run/worker_threads.h"

#include <pthread.h>
#include <sys/resource.h>
#include <unistd.h>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace vdk {
namespace {

struct TPool {
  std::mutex lock;
  std::condition_variable jobQueued;
  std::condition_variable idleChanged;
  std::deque<std::function<void()>> jobs;
  int idle = 0;
};

// Never destroyed: idle threads wait on it while the process exits.
TPool& Pool() {
  static auto* const pool = new TPool;
  return *pool;
}

void ThreadMain(std::function<void()> job) {
  ::pthread_setname_np(::pthread_self(), "vdk-worker");
  // The lowest ordinary priority, not SCHED_IDLE: an idle-class thread gets
  // next to no time while other programs keep every core busy, and the crawl
  // all but stops. At nice 19 workers yield to everything yet keep a share.
  ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), TWorkerThreads::kNice);
  TPool& pool = Pool();
  for (;;) {
    job();
    job = nullptr;  // what the job holds is released before the thread waits
    std::unique_lock lock(pool.lock);
    ++pool.idle;
    pool.idleChanged.notify_all();
    const bool queued = pool.jobQueued.wait_for(lock, TWorkerThreads::kIdleTimeout, [&] { return !pool.jobs.empty(); });
    --pool.idle;
    if (!queued) return;
    job = std::move(pool.jobs.front());
    pool.jobs.pop_front();
  }
}

}  // namespace

void TWorkerThreads::Run(std::function<void()> job) {
  TPool& pool = Pool();
  {
    std::unique_lock lock(pool.lock);
    // Idle threads that have not picked up a queued job yet are spoken for.
    if (pool.idle > static_cast<int>(pool.jobs.size())) {
      pool.jobs.push_back(std::move(job));
      lock.unlock();  // the woken thread does not have to wait for the lock
      pool.jobQueued.notify_one();
      return;
    }
  }
  std::thread(ThreadMain, std::move(job)).detach();
}

bool TWorkerThreads::WaitForIdle(int count, std::chrono::steady_clock::duration timeout) {
  TPool& pool = Pool();
  std::unique_lock lock(pool.lock);
  return pool.idleChanged.wait_for(lock, timeout, [&] { return pool.idle >= count; });
}

}  // namespace vdk
