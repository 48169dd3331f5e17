// The reusable worker threads: names, priority, reuse and growth.

#include "core/run/worker_threads.h"

#include <gtest/gtest.h>
#include <pthread.h>
#include <sys/resource.h>
#include <unistd.h>

#include <condition_variable>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace vdk::test {
namespace {

constexpr auto kWait = std::chrono::seconds(30);

struct ThreadFacts {
  std::thread::id id;
  std::string name;
  int nice = 0;
};

int ThreadNice() { return ::getpriority(PRIO_PROCESS, static_cast<id_t>(::gettid())); }

ThreadFacts RunAndDescribe() {
  std::promise<ThreadFacts> facts;
  TWorkerThreads::Run([&facts] {
    char name[16] = {};
    ::pthread_getname_np(::pthread_self(), name, sizeof name);
    facts.set_value({std::this_thread::get_id(), name, ThreadNice()});
  });
  return facts.get_future().get();
}

TEST(WorkerThreads, JobsRunOnNamedLowPriorityThreadsThatAreReused) {
  const int callerNice = ThreadNice();
  const ThreadFacts first = RunAndDescribe();
  EXPECT_NE(first.id, std::this_thread::get_id());
  EXPECT_EQ(first.name, "vdk-worker");
  EXPECT_EQ(first.nice, TWorkerThreads::kNice);
  EXPECT_EQ(ThreadNice(), callerNice);

  ASSERT_TRUE(TWorkerThreads::WaitForIdle(1, kWait));
  EXPECT_EQ(RunAndDescribe().id, first.id);
}

TEST(WorkerThreads, ABusyPoolGrowsInsteadOfQueueing) {
  // Each job waits for all the others: they can only end together when every
  // one of them has a thread of its own.
  constexpr int kJobs = 8;
  struct Meeting {
    std::mutex lock;
    std::condition_variable changed;
    int running = 0;
    int met = 0;
  };
  auto meeting = std::make_shared<Meeting>();
  for (int i = 0; i < kJobs; ++i) {
    TWorkerThreads::Run([meeting] {
      std::unique_lock lock(meeting->lock);
      ++meeting->running;
      meeting->changed.notify_all();
      if (meeting->changed.wait_for(lock, kWait, [&] { return meeting->running == kJobs; })) ++meeting->met;
      meeting->changed.notify_all();
    });
  }
  std::unique_lock lock(meeting->lock);
  EXPECT_TRUE(meeting->changed.wait_for(lock, kWait, [&] { return meeting->met == kJobs; }));
  lock.unlock();
  EXPECT_TRUE(TWorkerThreads::WaitForIdle(kJobs, kWait));
}

}  // namespace
}  // namespace vdk::test
