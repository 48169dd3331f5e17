#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "core/url/uri.h"

namespace vdk {

class TTask;
class TTaskItemList;
class TTaskThread;

// One URL of a task's work list with its depth and run state.
// Threads: URL and the rank are fixed once the item is in a list. Depth,
// Rescan, Done, Running and Worker change under the task's run lock (see
// TRunControl): Depth on the main thread only (a worker keeps its own copy),
// the others also on the thread of a worker ending its pass. Done and Running
// may be read without the lock; the setters keep the owning list's index of
// waiting items current under its lock.
class TTaskItem : public std::enable_shared_from_this<TTaskItem> {
 public:
  // startHost is the host of the task's start URL when the item is made; it
  // fixes the item's rank.
  TTaskItem(TTask* task, std::string_view url, std::string_view startHost);
  // The same, with the start host taken from the task's URL.
  TTaskItem(TTask* task, std::string_view url);

  TTaskItem(const TTaskItem&) = delete;
  TTaskItem& operator=(const TTaskItem&) = delete;

  const TIdURI& URL() const { return url_; }
  TTask* Task() const { return task_; }

  // Class x 1000 + length of the full URL text: class 9 on the start host,
  // 6 on a host with the same parent domain, 3 elsewhere.
  std::int32_t Rank() const { return rank_; }

  std::int32_t Depth = -1;
  // Set when a page that was already scanned waits again because a link
  // nearer the start URL was found: its links are taken again, but the page
  // is not saved a second time.
  bool Rescan = false;

  bool Done() const { return done_.load(); }
  bool Running() const { return running_.load(); }
  bool Waiting() const { return !Done() && !Running(); }
  void SetDone(bool done);
  void SetRunningFlag(bool running);

  // The worker fetching the item, while it runs (set by the run control,
  // under its lock).
  std::shared_ptr<TTaskThread> Worker;

 private:
  friend class TTaskItemList;

  void StateChanged();

  TIdURI url_;
  TTask* task_;
  TTaskItemList* list_ = nullptr;  // set while the item is in a list
  std::uint32_t node_ = 0;         // the item's node in list_
  std::int32_t rank_;
  std::atomic<bool> done_{false};
  std::atomic<bool> running_{false};
};

// The rank class of a host against the start host (9, 6 or 3).
int RankClass(std::string_view host, std::string_view startHost);

}  // namespace vdk
