#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <mutex>
#include <string>

#include "core/model/reg_options.h"
#include "core/model/task_item_list.h"
#include "core/url/uri.h"

namespace vdk {

class TTaskThread;
class TSynchronizer;
class TItemsView;
class TLogView;
class TImagesView;
class TImageQueue;

// A task: its options, its start URL and the ranked work list that grows
// while it runs, and the run control that starts, refills and stops its
// workers.
// Threads: the main thread owns the fields and runs the run control; workers
// read Options, URL, Displayed and the collaborators (never changed while the
// task runs), use Items through its own lock and add to SavedCount
// atomically. Views are only touched on the main thread.
class TTask : public std::enable_shared_from_this<TTask> {
  // Declared first: Items holds a reference to it.
  std::mutex scanLock_;

 public:
  static constexpr std::size_t kHeaderSize = 5140;
  static constexpr std::size_t kItemsOffset = kHeaderSize + TRegOptions::kBlockSize;  // 536660

  TTask();
  TTask(const TTask&) = delete;
  TTask& operator=(const TTask&) = delete;

  TRegOptions Options;
  TTaskItemList Items{scanLock_};
  std::string Note;
  TIdURI URL;
  std::string Name = "<noname>";
  std::string TaskID;
  std::string FileName;
  bool Stopped = true;
  bool Stopping = false;
  std::atomic<bool> Displayed{false};
  std::int32_t FinishedCount = 0;
  std::atomic<std::int32_t> SavedCount{0};

  // Collaborators, set by the owner before the first Start. The views may
  // stay empty; the synchronizer may not.
  std::shared_ptr<TSynchronizer> Synchronizer;
  TItemsView* ItemsView = nullptr;
  TLogView* LogView = nullptr;
  TImagesView* ImagesView = nullptr;
  TImageQueue* ImageQueue = nullptr;
  // Raised on the main thread when the last running item of a run has ended.
  std::function<void(TTask&)> OnFinished;

  // Begins or resumes a run: the start item when the list is empty, then
  // workers for the first eight waiting items. A run with nothing to start
  // ends at once (Stopped again, OnFinished raised). The task must be owned
  // by a shared_ptr.
  void Start();
  // Ends the run at once: every running item is stopped (its worker ended,
  // its partial file deleted) and waits again. OnFinished is not raised.
  void Stop();
  int RunningCount() const { return Items.RunningCount(); }
  // The end of a worker's pass, on the main thread: marks its item done,
  // refills up to seven running workers, and ends the run when none runs.
  void ItemFinished(TTaskThread& sender);
  // Whether an item is fetched and scanned as a page at the given depth.
  bool FetchesPageAt(const TTaskItem& item, std::int32_t depth) const;
  // A worker found a link to an item already in the list, at depth. The
  // depth limit counts links along the shortest way found from the start URL,
  // whatever the order in which pages were fetched: a page found nearer the
  // start takes the smaller depth, and one whose links would now reach
  // further waits to be fetched again (when its worker has passed it over or
  // has already scanned it). Main thread.
  void LinkFoundAgain(const std::shared_ptr<TTaskItem>& item, std::int32_t depth);

  void AddItemRow(const TTaskItem* item);
  void RemoveItemRow(const TTaskItem* item);
  void AddSavedFileRow(const std::string& path, std::int64_t size);
  // "[date time] - message" as a new line of the log.
  void AppendLog(const std::string& message);

  // What every finished run needs besides its views: the task file saved
  // (when it has a name) and the partial downloads that no worker owns
  // deleted from the task's mask folders.
  void FinishRun();

  // Writes the task file through a temporary file in the same folder that
  // replaces the old one only once complete; created with mode 0600 since it
  // may hold a password. FileName is not changed.
  void SaveToFile(const std::string& path) const;
  // Sets FileName and reads the file. Raises EFileError when it cannot be
  // opened and EFormatError when its header or options block is cut short.
  void LoadFromFile(const std::string& path);

  void SaveToStream(std::ostream& out) const;
  // Item lines whose URL is empty or cannot be requested are skipped. A task
  // read from a stream is stopped, whatever its stored state says.
  void LoadFromStream(std::istream& in);

 private:
  // Puts an item back among the waiting ones with its row showing its new
  // depth; scanned says its page has been saved and scanned already.
  void WaitAgain(TTaskItem& item, bool scanned);
};

// A new GUID in its 38-character text form with braces.
std::string NewGUID();

}  // namespace vdk
