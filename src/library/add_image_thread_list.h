#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <stop_token>
#include <string>
#include <vector>

#include "library/add_image_thread.h"

namespace vdk {

class TImageLibrary;

// The add-image workers: a few background threads that catalogue saved files
// from a queue, so that handing a file over never waits for its decoding and
// a crawl that saves thousands of files does not start a thread for each.
//
// Threads: Queue, Stop and WaitUntilIdle may be called from any thread. One
// lock guards the queue and the busy count; it is held to push, take or drop
// paths, never while a file is catalogued, and the library's own lock is
// never taken under it.
class TAddImageThreadList {
 public:
  // Catalogues one path; stop is requested when the list stops.
  using Work = std::function<void(const std::string& path, std::stop_token stop)>;

  static constexpr std::size_t kDefaultQueueLimit = 100000;

  // Workers that add to the library; the library must outlive the list.
  explicit TAddImageThreadList(TImageLibrary& library, int workers = DefaultWorkers());
  TAddImageThreadList(Work work, int workers, std::size_t queueLimit = kDefaultQueueLimit);
  // Stops, then joins the workers, each of which has at most one decode to
  // abandon: a stopped decode fails at its next read.
  ~TAddImageThreadList();
  TAddImageThreadList(const TAddImageThreadList&) = delete;
  TAddImageThreadList& operator=(const TAddImageThreadList&) = delete;

  // Hands a path to the workers and returns at once. False when the path was
  // dropped: the list has stopped, or the queue is full.
  bool Queue(const std::string& path);
  // Returns at once: queued paths are dropped, decodes under way are
  // abandoned and add nothing, later Queue calls are refused.
  void Stop();
  // Blocks until the queue is empty and no worker is busy, or the list stopped.
  void WaitUntilIdle();
  // The number of worker threads.
  int Count() const { return static_cast<int>(threads_.size()); }

  // Half the processors, at least one and at most four.
  static int DefaultWorkers();

 private:
  friend class TAddImageThread;

  // Waits for the next path; false once the list stops.
  bool Take(std::string& path, std::stop_token stop);
  void Finished();

  const Work work_;
  const std::size_t queueLimit_;
  std::stop_source stopSource_;
  std::mutex lock_;
  std::condition_variable_any available_;  // a path was queued
  std::condition_variable idle_;           // a worker finished, or the list stopped
  std::deque<std::string> queue_;
  int busy_ = 0;
  // Last: the workers start once everything they use exists.
  std::vector<std::unique_ptr<TAddImageThread>> threads_;
};

}  // namespace vdk
