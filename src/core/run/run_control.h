#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/model/task_item_list.h"
#include "core/run/views.h"

namespace vdk {

class TTask;
class TTaskThread;

// The run control of one task: which items get a worker and when, what
// happens when a worker ends, how a run stops or starts afresh, and the rows
// the task keeps in its views. The task owns one and hands it its run
// commands; workers reach it through the task's synchronizer.
// Threads: main thread only.
class TRunControl {
 public:
  explicit TRunControl(TTask& task) : task_(task) {}
  TRunControl(const TRunControl&) = delete;
  TRunControl& operator=(const TRunControl&) = delete;

  void Start();
  void Stop();
  void Restart();
  void ShowItems();
  void FinishRun();

  // The end of a worker's pass: marks its item done, refills up to seven
  // running workers, and ends the run when none runs. A worker that found
  // the disk full stops the run instead, its item waiting.
  void ItemFinished(TTaskThread& sender);
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
  void RemoveItemRow(const TTaskItem* item);
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
  void StartItem(TTaskItem& item);
  void StopItem(TTaskItem& item);
  // Changes Running and the icon of the item's row (1 running, 0 not).
  void SetRunning(TTaskItem& item, bool running);
  // Puts an item back among the waiting ones with its row showing its new
  // depth; scanned says its page has been saved and scanned already.
  void WaitAgain(TTaskItem& item, bool scanned);
  // Ends the run when no item runs any more: Stopped, OnFinished raised.
  void EndWhenIdle();
  TItemRow RowOf(const TTaskItem& item) const;

  TTask& task_;
};

}  // namespace vdk
