#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "core/model/task_item_list.h"
#include "core/run/views.h"

namespace vdk {

class TTask;
class TTaskThread;
class TSynchronizer;
class TCancelToken;

// The run control of one task: which items get a worker and when, what
// happens when a worker ends, how a run stops or starts afresh, and the rows
// the task keeps in its views. The task owns one and hands it its run
// commands; workers reach it through the task's synchronizer, except at the
// end of their pass: a worker that ends takes the next waiting item itself
// (PassEnded) and the main thread is only told (ItemFinished), so a main
// thread that is slow to get to its events does not leave workers idle.
//
// Threads: the main thread, except PassEnded, which runs on the thread of
// the worker that ended. Item states (Done, Running, Worker, Depth, Rescan),
// the counters and the run state change under the run lock, which is held
// for those changes only: never while waiting for the main thread, a view or
// a transfer. Lock order: the run lock, a worker's step lock, the work
// list's lock.
class TRunControl {
 public:
  explicit TRunControl(TTask& task) : task_(task) {}
  TRunControl(const TRunControl&) = delete;
  TRunControl& operator=(const TRunControl&) = delete;

  void Start();
  void Stop();
  void Restart();
  void ShowItems();
  void FinishRun(const std::function<void(const TTask&)>& save);

  // On the worker's thread, once its pass is over: marks its item done (or
  // waiting again, when it was found nearer the start meanwhile), refills up
  // to seven running workers and tells the main thread. A worker that found
  // the disk full has the run stopped instead, its item waiting. Returns the worker
  // to run next on this thread (the others it starts get threads of their
  // own); nothing when the worker was stopped or nothing waits.
  std::shared_ptr<TTaskThread> PassEnded(TTaskThread& worker, const std::shared_ptr<TSynchronizer>& sync,
                                         const std::shared_ptr<TCancelToken>& token);
  // What the main thread learns of an ended pass: the rows of the item and of
  // the items started in its place follow their states, and the run ends
  // with the news that none runs (the last one queued), or stops when the
  // pass asked for it (Halt) and the run has not been stopped since. Ignored
  // when the list has been emptied since (Epoch).
  struct TPassNews {
    TaskItemPtr Item;
    std::vector<TaskItemPtr> Started;  // the items started in its place
    std::uint64_t Epoch;               // of the work list, see epoch_
    std::uint64_t Run;                 // see run_
    bool Halt;                         // the pass found the disk full
    bool Idle;                         // no item ran after the pass
  };
  void ItemFinished(const TPassNews& news);
  // A worker found a link to an item already in the list, at depth. The
  // depth limit counts links along the shortest way found from the start URL,
  // whatever the order in which pages were fetched: a page found nearer the
  // start takes the smaller depth, and one whose links would now reach
  // further waits to be fetched again (when its worker has passed it over or
  // has already scanned it).
  void LinkFoundAgain(const TaskItemPtr& item, std::int32_t depth);

  // Rows for the items a worker added, unless they are done already (a
  // worker may finish one before its row arrives); nothing unless the task
  // is displayed.
  void AddItemRows(const std::vector<TaskItemPtr>& items);
  void SetRowProgress(const TTaskItem* item, const std::string& size, const std::string& completed);
  void AddSavedFileRow(const std::string& path, std::int64_t size);
  // "[date time] - message" as a new line of the log.
  void AppendLog(const std::string& message);
  // A worker's pass failed: the reason goes to the log, and is kept when the
  // item was the start URL.
  void ItemFailed(const std::string& reason, bool startURL);
  // A file or page could not be written: the reason goes to the log and is
  // counted, and kept when the disk was full.
  void SaveFailed(const std::string& reason, bool noRoom);

 private:
  using TWorkers = std::vector<std::shared_ptr<TTaskThread>>;

  // Under the run lock: workers for the first waiting items while fewer than
  // limit run, added to workers as they start. With firstHere the first one
  // is left for the calling thread to run; the others are resumed. Raises
  // when no thread can be had (that item keeps waiting).
  void StartWaiting(int limit, const std::shared_ptr<TSynchronizer>& sync, bool firstHere, TWorkers& workers);
  // Under the run lock: ends the item's worker; the item waits again.
  void StopItem(TTaskItem& item);
  // The running icons of the items' rows, as their states are now.
  void ShowRunning(const std::vector<TaskItemPtr>& items);
  // Shows an item that waits again: its row goes and comes back with its
  // new depth.
  void ShowWaitingAgain(const TItemRow& row);
  // Ends the run when no item runs any more: Stopped, OnFinished raised.
  void EndWhenIdle();
  bool Halting();
  // Under the run lock.
  TItemRow RowOf(const TTaskItem& item) const;

  TTask& task_;
  std::mutex lock_;
  // Counts the times the work list was emptied (guarded by lock_), so that
  // the news of a pass from before is not shown over the new list.
  std::uint64_t epoch_ = 0;
  // Counts the runs started (guarded by lock_): the news that a run has no
  // item running any more ends only that run.
  std::uint64_t run_ = 0;
  // A worker found the disk full and the main thread has not stopped the run
  // yet: no worker starts another (guarded by lock_).
  bool halting_ = false;
};

}  // namespace vdk
