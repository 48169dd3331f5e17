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
class TRunControl;
class TSynchronizer;
class TItemsView;
class TLogView;
class TImagesView;
class TImageQueue;
class TFileWriter;
class THttpConnections;

// A task: its options, its start URL, the ranked work list that grows while
// it runs, its counters and run state. The run commands are carried out by
// the task's TRunControl (core/run), which alone changes the counters and
// the run state besides loading a file.
// Threads: the main thread owns the fields and runs the run commands;
// workers read Options, URL, Displayed and the collaborators (never changed
// while the task runs), use Items through its own lock, count saved files
// atomically and, ending their pass, count finished items under the run
// control's lock. The counters and the run state may be read on the main
// thread at any time. Views are only touched on the main thread.
class TTask : public std::enable_shared_from_this<TTask> {
  // Declared first: Items holds a reference to it.
  std::mutex scanLock_;

 public:
  static constexpr std::size_t kHeaderSize = 5140;
  static constexpr std::size_t kItemsOffset = kHeaderSize + TRegOptions::kBlockSize;  // 536660

  TTask();
  ~TTask();
  TTask(const TTask&) = delete;
  TTask& operator=(const TTask&) = delete;

  TRegOptions Options;
  TTaskItemList Items{scanLock_};
  std::string Note;
  TIdURI URL;
  std::string Name = "<noname>";
  std::string TaskID;
  std::string FileName;
  std::atomic<bool> Displayed{false};

  // False while a run is in progress.
  bool Stopped() const { return stopped_.load(); }
  // True only while Stop ends the workers.
  bool Stopping() const { return stopping_; }
  // Items whose worker has ended (done items), and files saved by the runs.
  std::int32_t FinishedCount() const { return finishedCount_.load(); }
  std::int32_t SavedCount() const { return savedCount_.load(); }
  // Why the start URL could not be fetched in the last run; empty when it was.
  const std::string& StartFailure() const { return startFailure_; }
  // Files and pages of the last run that could not be written (each has its
  // log line), and why the run stopped early because the disk was full
  // (empty when it did not).
  std::int32_t FailedSaveCount() const { return failedSaves_; }
  const std::string& NoRoomFailure() const { return noRoomFailure_; }
  int RunningCount() const { return Items.RunningCount(); }
  // Every item is done (and there is one): a run would start nothing.
  bool AllDone() const;

  // Collaborators, set by the owner before the first Start. The views may
  // stay empty; the synchronizer may not.
  std::shared_ptr<TSynchronizer> Synchronizer;
  TItemsView* ItemsView = nullptr;
  TLogView* LogView = nullptr;
  TImagesView* ImagesView = nullptr;
  TImageQueue* ImageQueue = nullptr;
  // Writes the downloads; none writes straight to the files.
  std::shared_ptr<TFileWriter> Writer;
  // Raised on the main thread whenever a run starts (by the user or the
  // schedule), after its first workers have started.
  std::function<void(TTask&)> OnStarted;
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
  // Crawls afresh: stops a run, empties the work list, the counters and (when
  // the task is displayed) the items view, then starts with the start URL.
  // Files saved before stay; files fetched again get new names beside them.
  void Restart();
  // Fills the items view with a row for every item not done, in list order,
  // in one batch (what a window shows when the task is selected).
  void ShowItems();
  // What every finished run needs besides its views: the task file saved
  // (when it has a name; by save when given, which then writes FileName)
  // and the partial downloads that no worker owns deleted from the task's
  // mask folders.
  void FinishRun(const std::function<void(const TTask&)>& save = {});

  // Whether an item is fetched and scanned as a page at the given depth.
  bool FetchesPageAt(const TTaskItem& item, std::int32_t depth) const;

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
  friend class TRunControl;
  friend class TTaskThread;  // reports to the run control

  // Written on the main thread under the run control's lock; read by
  // workers under it.
  std::atomic<bool> stopped_{true};
  bool stopping_ = false;
  std::atomic<std::int32_t> finishedCount_{0};
  std::atomic<std::int32_t> savedCount_{0};
  std::string startFailure_;
  std::int32_t failedSaves_ = 0;
  std::string noRoomFailure_;
  std::unique_ptr<TRunControl> run_;
  // The connections the workers keep alive between items; closed when a run
  // stops or ends.
  std::shared_ptr<THttpConnections> connections_;
};

// A new GUID in its 38-character text form with braces.
std::string NewGUID();

}  // namespace vdk
